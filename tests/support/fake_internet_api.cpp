#include "tests/support/fake_internet_api.h"

#include <algorithm>
#include <cstring>

namespace ks::test {

namespace {
const char* serviceName(InternetService service) {
  return service == InternetService::Ftp ? "ftp" : "http";
}
}  // namespace

InternetHandle FakeInternetApi::add(const std::string& name, void* context,
                                    InternetStatusCallback inherited) {
  const InternetHandle handle = next_++;
  handles_[handle] = Handle{name, context, inherited};
  notify(handle, kInternetStatusHandleCreated);
  return handle;
}

void FakeInternetApi::notify(InternetHandle handle, std::uint32_t status) {
  const Handle& h = handles_.at(handle);
  if (h.callback == nullptr) return;
  notifications.push_back(status);
  h.callback(handle, h.context, status, nullptr, 0);
}

bool FakeInternetApi::crackUrl(const std::string& url, UrlComponents& parts) {
  calls.push_back("crackUrl " + url);
  if (script.urlKnown) parts = script.parts;
  return script.urlKnown;
}

std::uint32_t FakeInternetApi::attemptConnect() {
  calls.push_back("attemptConnect");
  return script.attemptConnectResult;
}

InternetHandle FakeInternetApi::open(const std::string& agent, InternetAccess access,
                                     const std::string& proxy) {
  calls.push_back("open " + agent +
                  (access == InternetAccess::Proxy ? " proxy " + proxy : " preconfig"));
  return script.openWorks ? add("internet", nullptr, nullptr) : kNullInternetHandle;
}

InternetHandle FakeInternetApi::connect(InternetHandle internet, const UrlComponents& server,
                                        InternetService service, void* context) {
  calls.push_back(std::string("connect ") + serviceName(service) + " " + server.hostName + ":" +
                  std::to_string(server.port) + (context ? " job" : " no-context"));
  if (!script.connectWorks) return kNullInternetHandle;
  return add("connection", context, handles_.at(internet).callback);
}

InternetHandle FakeInternetApi::ftpFindFirstFile(InternetHandle connection, const std::string& path,
                                                 std::uint64_t& fileSize) {
  calls.push_back("ftpFindFirstFile " + path);
  if (!script.ftpFileFound) return kNullInternetHandle;
  fileSize = script.ftpFileSize;
  return add("find", nullptr, handles_.at(connection).callback);
}

InternetHandle FakeInternetApi::openUrl(InternetHandle internet, const std::string& url,
                                        void* context) {
  calls.push_back("openUrl " + url + (context ? " job" : " no-context"));
  if (!script.openUrlWorks) return kNullInternetHandle;
  return add("url", context, handles_.at(internet).callback);
}

InternetHandle FakeInternetApi::ftpOpenFile(InternetHandle connection, const std::string& path,
                                            std::uint64_t restartAt, void* context) {
  calls.push_back("ftpOpenFile " + path + " from " + std::to_string(restartAt) +
                  (context ? " job" : " no-context"));
  if (!script.ftpRestartWorks) return kNullInternetHandle;
  return add("file", context, handles_.at(connection).callback);
}

InternetHandle FakeInternetApi::httpOpenRequest(InternetHandle connection,
                                                const std::string& object, bool secure,
                                                void* context) {
  calls.push_back("httpOpenRequest " + object + (secure ? " secure" : "") +
                  (context ? " job" : " no-context"));
  if (!script.requestWorks) return kNullInternetHandle;
  return add("request", context, handles_.at(connection).callback);
}

bool FakeInternetApi::httpSendRequest(InternetHandle request, const std::string& headers) {
  calls.push_back(headers.empty() ? std::string("httpSendRequest")
                                  : "httpSendRequest " + headers.substr(0, headers.find('\r')));
  if (!script.sendWorks) {
    lastError_ = script.sendError;
    lastErrorText_ = script.sendErrorText;
    return false;
  }
  for (std::uint32_t status : {kInternetStatusResolvingName, kInternetStatusNameResolved,
                               kInternetStatusConnectingToServer, kInternetStatusConnectedToServer,
                               kInternetStatusSendingRequest, kInternetStatusRequestSent,
                               kInternetStatusReceivingResponse, kInternetStatusResponseReceived}) {
    notify(request, status);
  }
  return true;
}

std::uint32_t FakeInternetApi::errorDialog(InternetHandle, std::uint32_t error) {
  calls.push_back("errorDialog " + std::to_string(error));
  if (script.dialogAnswers.empty()) return kErrorSuccess;
  const std::uint32_t answer = script.dialogAnswers.front();
  script.dialogAnswers.pop_front();
  return answer;
}

bool FakeInternetApi::httpQueryInfo(InternetHandle, HttpQuery query, std::string& value,
                                    std::size_t bufferBytes) {
  static const char* names[] = {"content-length",    "status-code", "content-range",
                                "transfer-encoding", "etag",        "last-modified"};
  calls.push_back(std::string("httpQueryInfo ") + names[static_cast<int>(query)] + " " +
                  std::to_string(bufferBytes));
  const std::optional<std::string> status = script.statusCode;
  const std::optional<std::string>* answers[] = {&script.contentLength, &status,
                                                 &script.contentRange,  &script.transferEncoding,
                                                 &script.etag,          &script.lastModified};
  const std::optional<std::string>& answer = *answers[static_cast<int>(query)];
  if (!answer || answer->size() >= bufferBytes) return false;
  value = *answer;
  return true;
}

bool FakeInternetApi::readFile(InternetHandle data, char* buffer, std::uint32_t wanted,
                               std::uint32_t& got) {
  calls.push_back("readFile " + std::to_string(wanted));
  got = 0;
  if (aborts > 0) return false;
  const std::size_t left = script.body.size() - delivered_;
  got = static_cast<std::uint32_t>(std::min<std::size_t>(wanted, left));
  if (script.failReadAfter && delivered_ + got > *script.failReadAfter) return false;
  std::memcpy(buffer, script.body.data() + delivered_, got);
  delivered_ += got;
  if (got > 0) {
    notify(data, kInternetStatusReceivingResponse);
    notify(data, kInternetStatusResponseReceived);
  }
  return true;
}

bool FakeInternetApi::closeHandle(InternetHandle handle) {
  calls.push_back("close " + handles_.at(handle).name);
  notify(handle, kInternetStatusHandleClosing);
  handles_.erase(handle);
  return true;
}

void FakeInternetApi::abortTransfer(InternetHandle) {
  ++aborts;
}

std::uint32_t FakeInternetApi::lastError(std::string& description) {
  description = lastErrorText_;
  return lastError_;
}

void FakeInternetApi::setStatusCallback(InternetHandle handle, InternetStatusCallback callback) {
  calls.push_back("setStatusCallback " + handles_.at(handle).name);
  handles_.at(handle).callback = callback;
}

std::vector<std::string> FakeInternetApi::openHandles() const {
  std::vector<std::string> names;
  for (const auto& [unused, handle] : handles_) names.push_back(handle.name);
  return names;
}

}  // namespace ks::test
