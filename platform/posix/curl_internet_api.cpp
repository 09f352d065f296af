#include "platform/posix/curl_internet_api.h"

#include <cstdlib>
#include <mutex>

#include "platform/posix/curl_crack_url.h"
#include "platform/posix/curl_transfer.h"

namespace ks {

namespace {

constexpr int kUnauthorized = 401;
constexpr int kProxyAuthenticationRequired = 407;

// What lastError reports: the last failure of a call on this thread.
thread_local CurlFailure lastFailure;

// False (after noting why) when the transfer failed.
bool noteFailure(bool ok, const CurlTransfer& transfer) {
  if (!ok) lastFailure = transfer.failure();
  return ok;
}

std::string authoritiesFile(const std::string& given) {
  if (!given.empty()) return given;
  const char* file = std::getenv("SSL_CERT_FILE");
  return file != nullptr ? file : "";
}

void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

const char* headerNameOf(HttpQuery query) {
  switch (query) {
    case HttpQuery::ContentRange:
      return "Content-Range";
    case HttpQuery::TransferEncoding:
      return "Transfer-Encoding";
    case HttpQuery::ETag:
      return "ETag";
    case HttpQuery::LastModified:
      return "Last-Modified";
    default:
      return "Content-Length";
  }
}

std::string serverUrl(const char* scheme, const UrlComponents& server, const std::string& path) {
  return std::string(scheme) + "://" + server.hostName + ":" + std::to_string(server.port) + path;
}

}  // namespace

struct CurlInternetApi::Handle {
  enum class Kind { Session, Connection, Find, Transfer };
  explicit Handle(Kind of) : kind(of) {}
  Kind kind;
  void* context = nullptr;
  InternetStatusCallback callback = nullptr;
  InternetHandle parent = kNullInternetHandle;
  // Session.
  std::string agent;
  bool viaProxy = false;
  std::string proxy;
  // Connection.
  UrlComponents server;
  InternetService service = InternetService::Http;
  // Request or opened URL.
  CurlTransferSettings settings;
  std::unique_ptr<CurlTransfer> transfer;
  // Shared with the transfers made for this handle, so another thread can
  // stop them (abortTransfer) while this one waits in them.
  std::shared_ptr<CurlTransferStop> stop = std::make_shared<CurlTransferStop>();
};

CurlInternetApi::CurlInternetApi(Dialogs& dialogs, CurlInternetOptions options)
    : dialogs_(dialogs), options_(options) {
  options_.certificateAuthorities = authoritiesFile(options_.certificateAuthorities);
  initialiseCurlOnce();
}

CurlInternetApi::~CurlInternetApi() = default;

InternetHandle CurlInternetApi::add(std::unique_ptr<Handle> handle) {
  std::lock_guard lock(mutex_);
  const InternetHandle id = next_++;
  handles_[id] = std::move(handle);
  return id;
}

CurlInternetApi::Handle* CurlInternetApi::find(InternetHandle handle) {
  std::lock_guard lock(mutex_);
  auto found = handles_.find(handle);
  return found == handles_.end() ? nullptr : found->second.get();
}

void CurlInternetApi::notify(InternetHandle handle, std::uint32_t status) {
  Handle* h = find(handle);
  if (h != nullptr && h->callback != nullptr) h->callback(handle, h->context, status, nullptr, 0);
}

CurlTransferSettings CurlInternetApi::settingsFor(const Handle& session,
                                                  const std::string& url) const {
  CurlTransferSettings settings;
  settings.url = url;
  settings.agent = session.agent;
  settings.viaProxy = session.viaProxy;
  settings.proxy = session.proxy;
  settings.idleTimeout = options_.idleTimeout;
  settings.certificateAuthorities = options_.certificateAuthorities;
  return settings;
}

bool CurlInternetApi::crackUrl(const std::string& url, UrlComponents& parts) {
  return crackUrlText(url, parts);
}

InternetHandle CurlInternetApi::open(const std::string& agent, InternetAccess access,
                                     const std::string& proxy) {
  auto session = std::make_unique<Handle>(Handle::Kind::Session);
  session->agent = agent;
  session->viaProxy = access == InternetAccess::Proxy;
  session->proxy = proxy;
  return add(std::move(session));
}

// Nothing goes over the network yet: curl connects when there is something
// to ask.
InternetHandle CurlInternetApi::connect(InternetHandle internet, const UrlComponents& server,
                                        InternetService service, void* context) {
  Handle* session = find(internet);
  if (session == nullptr || session->kind != Handle::Kind::Session) return kNullInternetHandle;
  auto connection = std::make_unique<Handle>(Handle::Kind::Connection);
  connection->context = context;
  connection->callback = session->callback;
  connection->parent = internet;
  connection->server = server;
  connection->service = service;
  return add(std::move(connection));
}

InternetHandle CurlInternetApi::ftpFindFirstFile(InternetHandle connectionHandle,
                                                 const std::string& path, std::uint64_t& fileSize) {
  Handle* connection = find(connectionHandle);
  if (connection == nullptr || connection->service != InternetService::Ftp) {
    return kNullInternetHandle;
  }
  CurlTransferSettings settings =
      settingsFor(*find(connection->parent), serverUrl("ftp", connection->server, path));
  settings.userName = connection->server.userName;
  settings.password = connection->server.password;
  settings.http = false;
  settings.sizeOnly = true;
  CurlTransfer listing(
      settings, [](std::uint32_t) {}, connection->stop);
  std::uint32_t got = 0;
  char none[1];
  if (!noteFailure(listing.start() && listing.read(none, 1, got), listing)) {
    return kNullInternetHandle;
  }
  // A server without SIZE: the size stays unknown, and a missing file shows
  // when it is fetched.
  const std::int64_t size = listing.announcedSize();
  fileSize = size < 0 ? kUnknownFileSize : static_cast<std::uint64_t>(size);
  return add(std::make_unique<Handle>(Handle::Kind::Find));
}

InternetHandle CurlInternetApi::openUrl(InternetHandle internet, const std::string& url,
                                        void* context) {
  Handle* session = find(internet);
  UrlComponents parts;
  if (session == nullptr || !crackUrlText(url, parts)) return kNullInternetHandle;
  auto data = std::make_unique<Handle>(Handle::Kind::Transfer);
  data->context = context;
  data->callback = session->callback;
  data->settings = settingsFor(*session, url);
  data->settings.http = url.compare(0, 3, "ftp") != 0 && url.compare(0, 3, "FTP") != 0;
  return started(add(std::move(data)));
}

InternetHandle CurlInternetApi::started(InternetHandle id) {
  Handle* opened = find(id);
  opened->transfer = std::make_unique<CurlTransfer>(
      opened->settings, [this, id](std::uint32_t status) { notify(id, status); }, opened->stop);
  if (!noteFailure(opened->transfer->start(), *opened->transfer)) {
    closeHandle(id);
    return kNullInternetHandle;
  }
  return id;
}

std::unique_ptr<CurlInternetApi::Handle> CurlInternetApi::transferOn(
    InternetHandle connectionHandle, InternetService service, const char* scheme,
    const std::string& path, void* context) {
  Handle* connection = find(connectionHandle);
  if (connection == nullptr || connection->service != service) return nullptr;
  auto transfer = std::make_unique<Handle>(Handle::Kind::Transfer);
  transfer->context = context;
  transfer->callback = connection->callback;
  transfer->parent = connectionHandle;
  transfer->settings =
      settingsFor(*find(connection->parent), serverUrl(scheme, connection->server, path));
  transfer->settings.userName = connection->server.userName;
  transfer->settings.password = connection->server.password;
  transfer->settings.http = service == InternetService::Http;
  return transfer;
}

// curl sends REST itself before RETR; a server that refuses it (or holds
// fewer bytes) fails the start.
InternetHandle CurlInternetApi::ftpOpenFile(InternetHandle connectionHandle,
                                            const std::string& path, std::uint64_t restartAt,
                                            void* context) {
  auto data = transferOn(connectionHandle, InternetService::Ftp, "ftp", path, context);
  if (!data) return kNullInternetHandle;
  data->settings.restartAt = restartAt;
  return started(add(std::move(data)));
}

InternetHandle CurlInternetApi::httpOpenRequest(InternetHandle connectionHandle,
                                                const std::string& object, bool secure,
                                                void* context) {
  auto request = transferOn(connectionHandle, InternetService::Http, secure ? "https" : "http",
                            object, context);
  if (!request) return kNullInternetHandle;
  const InternetHandle id = add(std::move(request));
  notify(id, kInternetStatusHandleCreated);
  return id;
}

bool CurlInternetApi::httpSendRequest(InternetHandle requestHandle, const std::string& headers) {
  Handle* request = find(requestHandle);
  if (request == nullptr || request->kind != Handle::Kind::Transfer) return false;
  request->transfer.reset();
  request->settings.headers = headers;
  request->transfer = std::make_unique<CurlTransfer>(
      request->settings,
      [this, requestHandle](std::uint32_t status) { notify(requestHandle, status); },
      request->stop);
  return noteFailure(request->transfer->start(), *request->transfer);
}

std::uint32_t CurlInternetApi::errorDialog(InternetHandle requestHandle, std::uint32_t error) {
  Handle* request = find(requestHandle);
  if (request == nullptr || !request->transfer) return error;
  const int status = request->transfer->headers().statusCode();
  if (status != kUnauthorized && status != kProxyAuthenticationRequired) return kErrorSuccess;
  const bool proxy = status == kProxyAuthenticationRequired;
  PasswordRequest question;
  question.server = proxy ? request->settings.proxy : find(request->parent)->server.hostName;
  question.proxy = proxy;
  std::string userName;
  std::string password;
  if (!dialogs_.askPassword(question, userName, password)) return kErrorCancelled;
  (proxy ? request->settings.proxyUserName : request->settings.userName) = userName;
  (proxy ? request->settings.proxyPassword : request->settings.password) = password;
  return kErrorInternetForceRetry;
}

bool CurlInternetApi::httpQueryInfo(InternetHandle requestHandle, HttpQuery query,
                                    std::string& value, std::size_t bufferBytes) {
  Handle* request = find(requestHandle);
  if (request == nullptr || !request->transfer || !request->transfer->answered()) return false;
  const ResponseHeaders& headers = request->transfer->headers();
  std::string text;
  if (query == HttpQuery::StatusCode) {
    text = std::to_string(headers.statusCode());
  } else if (!headers.find(headerNameOf(query), text)) {
    return false;
  }
  if (text.size() >= bufferBytes) return false;
  value = text;
  return true;
}

bool CurlInternetApi::readFile(InternetHandle data, char* buffer, std::uint32_t wanted,
                               std::uint32_t& got) {
  Handle* handle = find(data);
  got = 0;
  if (handle == nullptr || !handle->transfer) return false;
  return noteFailure(handle->transfer->read(buffer, wanted, got), *handle->transfer);
}

// The last notifications of a handle: its connection going (when it had
// one), then the handle itself.
bool CurlInternetApi::closeHandle(InternetHandle id) {
  Handle* handle = find(id);
  if (handle == nullptr) return false;
  if (handle->transfer && handle->transfer->connected()) {
    notify(id, kInternetStatusClosingConnection);
    handle->transfer.reset();
    notify(id, kInternetStatusConnectionClosed);
  }
  handle->transfer.reset();
  notify(id, kInternetStatusHandleClosing);
  std::lock_guard lock(mutex_);
  handles_.erase(id);
  return true;
}

void CurlInternetApi::setStatusCallback(InternetHandle id, InternetStatusCallback callback) {
  if (Handle* handle = find(id)) handle->callback = callback;
}

// Another thread than the handle's: only the shared stop is touched.
void CurlInternetApi::abortTransfer(InternetHandle id) {
  std::shared_ptr<CurlTransferStop> stop;
  {
    std::lock_guard lock(mutex_);
    auto found = handles_.find(id);
    if (found != handles_.end()) stop = found->second->stop;
  }
  if (stop) stop->request();
}

std::uint32_t CurlInternetApi::lastError(std::string& description) {
  description = lastFailure.description;
  return lastFailure.error;
}

}  // namespace ks
