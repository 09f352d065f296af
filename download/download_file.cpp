#include "download/download_file.h"

#include <array>
#include <cstdlib>

#include "download/download_url.h"
#include "download/internet_handle.h"
#include "download/target_file.h"

namespace ks {

namespace {

constexpr const char* kAgent = "Kestrova Setup";
constexpr std::size_t kContentLengthBytes = 32;
constexpr std::size_t kStatusCodeBytes = 32;
constexpr std::uint32_t kReadBlockBytes = 1024;

// The handles of one transfer. Members are destroyed in reverse order, so on
// every exit the connection closes first, then the data handle, and the
// Internet handle last.
class Transfer {
 public:
  Transfer(InternetApi& api, FileSystem& files, DownloadStatusCallback callback, DownloadJob& job)
      : api_(api), files_(files), callback_(callback), job_(job) {}

  bool run();

 private:
  bool openSession();
  bool openFtp(const UrlComponents& parts);
  bool openHttp(const UrlComponents& parts);
  void sendWithCredentials();
  bool readExpectedSize();
  bool answerIsSuccess();
  bool receive();
  void watch(InternetHandle handle) {
    if (callback_) api_.setStatusCallback(handle, callback_);
  }

  InternetApi& api_;
  FileSystem& files_;
  DownloadStatusCallback callback_;
  DownloadJob& job_;
  InternetHandleGuard internet_{api_};
  InternetHandleGuard data_{api_};
  InternetHandleGuard connection_{api_};
};

bool Transfer::run() {
  UrlComponents parts;
  if (!api_.crackUrl(*job_.url, parts)) return false;
  if (api_.attemptConnect() != 0) return false;
  if (!openSession()) return false;
  if (isFtpUrl(*job_.url)) {
    if (!openFtp(parts)) return false;
  } else if (isHttpUrl(*job_.url)) {
    if (!openHttp(parts)) return false;
  } else {
    return false;
  }
  return receive();
}

bool Transfer::openSession() {
  const bool viaProxy = job_.proxy != nullptr && !job_.proxy->empty();
  return internet_.reset(viaProxy ? api_.open(kAgent, InternetAccess::Proxy, *job_.proxy)
                                  : api_.open(kAgent, InternetAccess::Preconfig, {}));
}

// The size comes from a listing of the file; the data is then fetched by URL
// (active mode, not cached). The callback joins only once the data handle
// exists, so an FTP transfer shows no source and folder lines.
bool Transfer::openFtp(const UrlComponents& parts) {
  if (!connection_.reset(api_.connect(internet_.get(), parts, InternetService::Ftp, nullptr))) {
    return false;
  }
  std::uint64_t fileSize = 0;
  InternetHandleGuard find(api_);
  if (!find.reset(api_.ftpFindFirstFile(connection_.get(), parts.urlPath, fileSize))) {
    return false;
  }
  find.close();
  job_.expectedSize = static_cast<std::int32_t>(static_cast<std::uint32_t>(fileSize));
  if (!data_.reset(api_.openUrl(internet_.get(), *job_.url, &job_))) return false;
  watch(data_.get());
  return true;
}

bool Transfer::openHttp(const UrlComponents& parts) {
  if (!connection_.reset(api_.connect(internet_.get(), parts, InternetService::Http, &job_))) {
    return false;
  }
  watch(connection_.get());
  if (!data_.reset(api_.httpOpenRequest(connection_.get(), parts.urlPath, &job_))) return false;
  watch(data_.get());
  sendWithCredentials();
  return readExpectedSize() && answerIsSuccess();
}

// Sends again as long as the user answers a 401 or 407 with credentials.
void Transfer::sendWithCredentials() {
  do {
    api_.httpSendRequest(data_.get());
  } while (api_.errorDialog(data_.get(), kErrorSuccess) == kErrorInternetForceRetry);
}

bool Transfer::readExpectedSize() {
  std::string contentLength;
  if (!api_.httpQueryInfo(data_.get(), HttpQuery::ContentLength, contentLength,
                          kContentLengthBytes)) {
    return false;
  }
  job_.expectedSize = static_cast<std::int32_t>(std::strtol(contentLength.c_str(), nullptr, 10));
  return true;
}

// Only a 2xx answer carries the file: an error page (404, or a 401 whose
// password question was declined) is never stored as a package.
bool Transfer::answerIsSuccess() {
  std::string statusCode;
  if (!api_.httpQueryInfo(data_.get(), HttpQuery::StatusCode, statusCode, kStatusCodeBytes)) {
    return false;
  }
  const long code = std::strtol(statusCode.c_str(), nullptr, 10);
  return code >= 200 && code <= 299;
}

// Reads 1024-byte blocks until a shorter one ends the data. A body shorter
// than the announced size (the connection dropped) and a failed write are
// failures, not a complete file.
bool Transfer::receive() {
  TargetFile file(files_);
  if (!file.create(*job_.targetPath)) return false;
  job_.receivedBytes = 0;
  std::array<char, kReadBlockBytes> block;
  std::uint32_t got = 0;
  do {
    if (!api_.readFile(data_.get(), block.data(), kReadBlockBytes, got)) return false;
    if (!file.write(block.data(), got)) return false;
    job_.receivedBytes += got;
  } while (got == kReadBlockBytes);
  data_.close();
  if (!file.close()) return false;
  return static_cast<std::int64_t>(job_.receivedBytes) >= job_.expectedSize;
}

}  // namespace

bool downloadFile(InternetApi& internet, FileSystem& files, DownloadStatusCallback callback,
                  DownloadJob& job) {
  return Transfer(internet, files, callback, job).run();
}

}  // namespace ks
