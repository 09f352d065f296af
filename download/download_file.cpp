#include "download/download_file.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#include "download/content_length.h"
#include "download/download_url.h"
#include "download/internet_handle.h"
#include "download/minimum_speed.h"
#include "download/target_file.h"
#include "download/transfer_cancel.h"

namespace ks {

namespace {

constexpr const char* kAgent = "Kestrova Setup";
constexpr std::size_t kContentLengthBytes = 32;
constexpr std::size_t kStatusCodeBytes = 32;
constexpr std::uint32_t kReadBlockBytes = 1024;
// Sizes are 32-bit (expectedSize is signed): larger files are not supported.
constexpr std::uint64_t kLargestFile = INT32_MAX;

// The handles of one transfer. Members are destroyed in reverse order, so on
// every exit the connection closes first, then the data handle, and the
// Internet handle last.
class Transfer {
 public:
  Transfer(InternetApi& api, FileSystem& files, DownloadStatusCallback callback, DownloadJob& job)
      : api_(api), files_(files), callback_(callback), job_(job) {}

  bool run();

 private:
  bool transfer();
  bool openSession();
  bool openFtp(const UrlComponents& parts);
  bool openHttp(const UrlComponents& parts);
  void sendWithCredentials();
  bool readExpectedSize();
  bool answerIsSuccess();
  bool takeExpectedSize(std::uint64_t size);
  bool receive();
  bool receivedIsPlausible(std::uint32_t got) const;
  bool isComplete() const;
  void watch(InternetHandle handle) {
    if (callback_) api_.setStatusCallback(handle, callback_);
  }
  // The handle a cancel request must reach while the engine waits on it.
  void waitOn(InternetHandle handle) {
    if (job_.cancel != nullptr) job_.cancel->watch(api_, handle);
  }
  bool stopped() const { return job_.cancel != nullptr && job_.cancel->requested(); }

  InternetApi& api_;
  FileSystem& files_;
  DownloadStatusCallback callback_;
  DownloadJob& job_;
  bool tooSlow_ = false;
  InternetHandleGuard internet_{api_};
  InternetHandleGuard data_{api_};
  InternetHandleGuard connection_{api_};
  // Goes first, before any handle closes: a request then reaches none.
  struct StopWaiting {
    Transfer& transfer;
    ~StopWaiting() { transfer.waitOn(kNullInternetHandle); }
  } stopWaiting_{*this};
};

// The outcome is known before the handles close, so their closing texts say
// it. A complete transfer closes its data handle first, as its data ended;
// the others close as the members go.
bool Transfer::run() {
  const bool ok = transfer();
  job_.outcome = ok         ? DownloadOutcome::Succeeded
                 : tooSlow_ ? DownloadOutcome::TooSlow
                            : DownloadOutcome::Failed;
  waitOn(kNullInternetHandle);
  if (ok) data_.close();
  return ok;
}

bool Transfer::transfer() {
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
  return !stopped() && receive();
}

bool Transfer::openSession() {
  const bool viaProxy = job_.proxy != nullptr && !job_.proxy->empty();
  return internet_.reset(viaProxy ? api_.open(kAgent, InternetAccess::Proxy, *job_.proxy)
                                  : api_.open(kAgent, InternetAccess::Preconfig, {}));
}

// The size comes from a listing of the file (a server that does not say it
// leaves it unknown); the data is then fetched by URL (active mode, not
// cached). The callback joins only once the data handle exists, so an FTP
// transfer shows no source and folder lines.
bool Transfer::openFtp(const UrlComponents& parts) {
  if (!connection_.reset(api_.connect(internet_.get(), parts, InternetService::Ftp, nullptr))) {
    return false;
  }
  waitOn(connection_.get());
  std::uint64_t fileSize = 0;
  InternetHandleGuard find(api_);
  if (!find.reset(api_.ftpFindFirstFile(connection_.get(), parts.urlPath, fileSize))) {
    return false;
  }
  find.close();
  if (fileSize == kUnknownFileSize) {
    job_.expectedSize = kUnknownSize;
  } else if (!takeExpectedSize(fileSize)) {
    return false;
  }
  if (stopped() || !data_.reset(api_.openUrl(internet_.get(), *job_.url, &job_))) return false;
  waitOn(data_.get());
  watch(data_.get());
  return true;
}

bool Transfer::openHttp(const UrlComponents& parts) {
  if (!connection_.reset(api_.connect(internet_.get(), parts, InternetService::Http, &job_))) {
    return false;
  }
  watch(connection_.get());
  if (!data_.reset(api_.httpOpenRequest(connection_.get(), parts.urlPath, &job_))) return false;
  waitOn(data_.get());
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
  std::string text;
  std::uint64_t size = 0;
  return api_.httpQueryInfo(data_.get(), HttpQuery::ContentLength, text, kContentLengthBytes) &&
         parseContentLength(text, size) && takeExpectedSize(size);
}

// The announced size becomes the expected size, unless the file would not
// fit the download folder's free space, is larger than this file can
// plausibly be, or larger than a 32-bit size: then it is refused before
// anything is written.
bool Transfer::takeExpectedSize(std::uint64_t size) {
  std::uint64_t free = 0;
  if (files_.freeSpace(targetParts(*job_.targetPath).folder, free) && size > free) {
    return false;
  }
  if (job_.maxBytes != 0 && size > job_.maxBytes) return false;
  if (size > kLargestFile) return false;
  job_.expectedSize = static_cast<std::int32_t>(size);
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

// Nothing beyond the announced size, the limit of the job, or 32 bits.
bool Transfer::receivedIsPlausible(std::uint32_t got) const {
  const std::uint64_t total = std::uint64_t{job_.receivedBytes} + got;
  if (job_.expectedSize != kUnknownSize && total > static_cast<std::uint64_t>(job_.expectedSize)) {
    return false;
  }
  return (job_.maxBytes == 0 || total <= job_.maxBytes) && total <= kLargestFile;
}

// A body shorter than the announced size (the connection dropped) is not a
// complete file.
bool Transfer::isComplete() const {
  return job_.expectedSize == kUnknownSize ||
         static_cast<std::int64_t>(job_.receivedBytes) == job_.expectedSize;
}

// Reads until the data ends (a read of 0 bytes). The file is put in place
// only when every byte arrived and was written; a transfer stopped on the
// way (the user quit the setup) leaves nothing, like any other that fails.
bool Transfer::receive() {
  TargetFile file(files_);
  if (!file.create(*job_.targetPath)) return false;
  job_.receivedBytes = 0;
  MinimumSpeed speed(job_.minimumBytesPerSecond, job_.minimumSpeedWindow,
                     MinimumSpeed::Clock::now());
  std::array<char, kReadBlockBytes> block;
  for (;;) {
    std::uint32_t got = 0;
    if (stopped() || !api_.readFile(data_.get(), block.data(), kReadBlockBytes, got)) {
      return false;
    }
    if (got == 0) break;
    if (!receivedIsPlausible(got) || !file.write(block.data(), got)) return false;
    job_.receivedBytes += got;
    if (!speed.keepsUp(got, MinimumSpeed::Clock::now())) {
      tooSlow_ = true;
      return false;
    }
  }
  return isComplete() && file.commit();
}

}  // namespace

bool downloadFile(InternetApi& internet, FileSystem& files, DownloadStatusCallback callback,
                  DownloadJob& job) {
  return Transfer(internet, files, callback, job).run();
}

}  // namespace ks
