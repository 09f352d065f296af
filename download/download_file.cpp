#include "download/download_file.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "app/run_log.h"
#include "download/content_length.h"
#include "download/content_range.h"
#include "download/download_url.h"
#include "download/file_digest.h"
#include "download/internet_handle.h"
#include "download/minimum_speed.h"
#include "download/target_file.h"
#include "download/transfer_cancel.h"

namespace ks {

namespace {

constexpr const char* kAgent = "Kestrova Setup";
constexpr std::size_t kContentLengthBytes = 32;
constexpr std::size_t kStatusCodeBytes = 32;
constexpr std::size_t kContentRangeBytes = 128;
constexpr std::size_t kTransferEncodingBytes = 128;
constexpr std::size_t kValidatorBytes = 256;
constexpr std::uint32_t kReadBlockBytes = 1024;
constexpr long kPartialContent = 206;
constexpr long kRangeNotSatisfiable = 416;
// expectedSize is signed.
constexpr std::uint64_t kLargestFile = std::numeric_limits<std::int64_t>::max();
// The status line for a server whose certificate leads to no trusted
// authority; other refusals show the client library's own words, or the
// error number when it has none.
constexpr const char* kCertificateNotTrusted = "Certificate not trusted";
constexpr const char* kCertificateRefused = "Certificate refused (error ";

bool isCertificateError(std::uint32_t error) {
  switch (error) {
    case kErrorInternetSecCertDateInvalid:
    case kErrorInternetSecCertCnInvalid:
    case kErrorInternetInvalidCa:
    case kErrorInternetSecCertErrors:
    case kErrorInternetSecCertNoRev:
    case kErrorInternetSecCertRevFailed:
    case kErrorInternetSecInvalidCert:
    case kErrorInternetSecCertRevoked:
    case kErrorInternetSecureFailure:
      return true;
    default:
      return false;
  }
}

// "Range: bytes=N-": the rest of the file after its first N bytes; with
// "If-Range" only while the file is still the one the validator names (a
// server that has another sends all of it).
std::string rangeHeaders(std::uint64_t from, const std::string& validator) {
  if (from == 0) return {};
  std::string headers = "Range: bytes=" + std::to_string(from) + "-\r\n";
  if (!validator.empty()) headers += "If-Range: " + validator + "\r\n";
  return headers;
}

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
  bool openHttp(const UrlComponents& parts, bool secure);
  void showWhatIsThere();
  void sendWithCredentials();
  void noteFailedSend();
  bool takeHttpAnswer();
  bool takeContinuation();
  long statusCode();
  std::string answer();
  bool writeFailed();
  bool isChunked();
  std::string validator();
  bool takeExpectedSize(std::uint64_t size, std::uint64_t alreadyThere);
  bool refuse();
  bool receive();
  bool receivedIsPlausible(std::uint32_t got) const;
  bool isComplete() const;
  bool hasExpectedDigest();
  void settleFile();
  DownloadOutcome failure() const;
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
  // The bytes an earlier attempt at this URL left, what its answer said of
  // the file, and whether this answer continues after them.
  std::uint64_t resumable_ = 0;
  PartialOrigin earlier_;
  bool continuing_ = false;
  // What this answer says of the file, for a later continuation.
  PartialOrigin origin_;
  // How a failure came about.
  bool tooSlow_ = false;
  bool brokeOff_ = false;  // the data stopped coming: what arrived is worth keeping
  bool refused_ = false;   // the server's answer was refused: a partial file is no use
  bool certificate_ = false;
  bool digestDiffers_ = false;
  bool writeFailed_ = false;
  long status_ = 0;  // the HTTP status of the answer; 0 before one
  TargetFile file_{files_};
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
  job_.outcome = ok ? DownloadOutcome::Succeeded : failure();
  logLine("URL " + urlForDisplay(*job_.url) + ": " + answer());
  waitOn(kNullInternetHandle);
  if (ok) {
    data_.close();
  } else {
    settleFile();
  }
  return ok;
}

DownloadOutcome Transfer::failure() const {
  if (tooSlow_) return DownloadOutcome::TooSlow;
  if (certificate_) return DownloadOutcome::CertificateFailed;
  if (writeFailed_) return DownloadOutcome::WriteFailed;
  if (digestDiffers_) return DownloadOutcome::HashMismatch;
  return DownloadOutcome::Failed;
}

// What broke off stays for the next attempt at this URL; a partial file the
// server refused to continue goes, so the next attempt starts afresh, and so
// does what a transfer the user stopped had received.
void Transfer::settleFile() {
  if (brokeOff_ && job_.receivedBytes > 0 && !stopped()) {
    file_.keep();
  } else if (refused_ && resumable_ > 0) {
    file_.discard(*job_.targetPath);
    job_.resumedFrom = job_.receivedBytes = 0;
  }
}

bool Transfer::transfer() {
  UrlComponents parts;
  if (!api_.crackUrl(*job_.url, parts)) return false;
  if (api_.attemptConnect() != 0) return false;
  if (!openSession()) return false;
  // A NAME.part as long as the whole file (the run ended before it got its
  // name) has no rest to ask for: it is fetched again.
  const Resumable resumable = resumableOf(files_, *job_.targetPath, *job_.url);
  const bool whole = resumable.origin.total >= 0 &&
                     resumable.bytes >= static_cast<std::uint64_t>(resumable.origin.total);
  resumable_ = whole ? 0 : resumable.bytes;
  earlier_ = resumable.origin;
  if (isFtpUrl(*job_.url)) {
    if (!openFtp(parts)) return false;
  } else if (isHttpUrl(*job_.url) || isHttpsUrl(*job_.url)) {
    if (!openHttp(parts, isHttpsUrl(*job_.url))) return false;
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
// cached), or, to continue what an earlier attempt left, from that byte on
// over the same connection. A server that won't restart there sends the
// whole file. The callback joins only once the data handle exists, so an
// FTP transfer shows no source and folder lines.
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
  const bool sizeKnown = fileSize != kUnknownFileSize;
  const bool sameFile =
      !sizeKnown || earlier_.total < 0 || fileSize == static_cast<std::uint64_t>(earlier_.total);
  const bool canContinue = resumable_ > 0 && sameFile && (!sizeKnown || resumable_ < fileSize);
  if (!sizeKnown) {
    job_.expectedSize = kUnknownSize;
  } else if (!takeExpectedSize(fileSize, canContinue ? resumable_ : 0)) {
    return false;
  }
  if (stopped()) return false;
  if (canContinue) {
    continuing_ =
        data_.reset(api_.ftpOpenFile(connection_.get(), parts.urlPath, resumable_, &job_));
  }
  if (!continuing_ && !data_.reset(api_.openUrl(internet_.get(), *job_.url, &job_))) return false;
  waitOn(data_.get());
  watch(data_.get());
  return true;
}

bool Transfer::openHttp(const UrlComponents& parts, bool secure) {
  if (!connection_.reset(api_.connect(internet_.get(), parts, InternetService::Http, &job_))) {
    return false;
  }
  watch(connection_.get());
  if (!data_.reset(api_.httpOpenRequest(connection_.get(), parts.urlPath, secure, &job_))) {
    return false;
  }
  waitOn(data_.get());
  watch(data_.get());
  showWhatIsThere();
  sendWithCredentials();
  return takeHttpAnswer();
}

// The progress lines of the answer's first notifications already count what
// an earlier attempt left, of the size it was told; the answer decides.
void Transfer::showWhatIsThere() {
  if (resumable_ == 0) return;
  job_.resumedFrom = job_.receivedBytes = resumable_;
  job_.expectedSize = earlier_.total;
}

// Sends again as long as the user answers a 401 or 407 with credentials.
// A send that got no answer is looked into only for a refused certificate,
// which the status line names; the queries that follow fail it anyway.
void Transfer::sendWithCredentials() {
  const std::string headers = rangeHeaders(resumable_, earlier_.validator);
  do {
    if (!api_.httpSendRequest(data_.get(), headers)) noteFailedSend();
  } while (api_.errorDialog(data_.get(), kErrorSuccess) == kErrorInternetForceRetry);
}

void Transfer::noteFailedSend() {
  std::string description;
  const std::uint32_t error = api_.lastError(description);
  if (!isCertificateError(error)) return;
  certificate_ = true;
  job_.failureText = error == kErrorInternetInvalidCa ? kCertificateNotTrusted
                     : description.empty() ? kCertificateRefused + std::to_string(error) + ")"
                                           : description;
}

// Only a 2xx answer carries the file: an error page (404, or a 401 whose
// password question was declined) is never stored as a package. Its size is
// the Content-Length; an answer without one is taken only when its end is
// marked (chunked), so a cut can't pass for the end of the file.
bool Transfer::takeHttpAnswer() {
  std::string length;
  const bool hasLength =
      api_.httpQueryInfo(data_.get(), HttpQuery::ContentLength, length, kContentLengthBytes);
  const long status = statusCode();
  if (status == kPartialContent) return takeContinuation();
  // An error answer (a busy server, a missing file) says nothing of what an
  // earlier attempt left, which stays; only a range beyond the file does.
  if (status == kRangeNotSatisfiable) return refuse();
  if (status < 200 || status > 299) return false;
  origin_.validator = validator();
  std::uint64_t size = 0;
  if (hasLength) return (parseContentLength(length, size) || refuse()) && takeExpectedSize(size, 0);
  if (!isChunked()) return refuse();
  job_.expectedSize = kUnknownSize;
  return true;
}

// A 206 answer continues the file only where this transfer asked it to,
// and only a file of the size the first answer announced: another one
// would be spliced onto what is there.
bool Transfer::takeContinuation() {
  std::string text;
  ContentRange range;
  if (resumable_ == 0 ||
      !api_.httpQueryInfo(data_.get(), HttpQuery::ContentRange, text, kContentRangeBytes) ||
      !parseContentRange(text, range) || range.first != resumable_) {
    return refuse();
  }
  const std::uint64_t total = range.totalKnown ? range.total : range.last + 1;
  if (earlier_.total >= 0 && total != static_cast<std::uint64_t>(earlier_.total)) return refuse();
  continuing_ = true;
  return takeExpectedSize(total, resumable_);
}

long Transfer::statusCode() {
  std::string text;
  if (!api_.httpQueryInfo(data_.get(), HttpQuery::StatusCode, text, kStatusCodeBytes)) return 0;
  status_ = std::strtol(text.c_str(), nullptr, 10);
  return status_;
}

// What the run log says of the server's answer and how the transfer ended.
std::string Transfer::answer() {
  std::string text = status_ != 0 ? "HTTP " + std::to_string(status_) + ", " : std::string();
  switch (job_.outcome) {
    case DownloadOutcome::Succeeded:
      return text + std::to_string(job_.receivedBytes) + " bytes";
    case DownloadOutcome::TooSlow:
      return text + "too slow";
    case DownloadOutcome::CertificateFailed:
    case DownloadOutcome::WriteFailed:
      return text + job_.failureText;
    case DownloadOutcome::HashMismatch:
      return text + "not the file its SHA256 names";
    default:
      break;
  }
  if (stopped()) return text + "stopped";
  if (brokeOff_) return text + "broken off after " + std::to_string(job_.receivedBytes) + " bytes";
  if (status_ != 0) return text + "failed";
  std::string description;
  api_.lastError(description);
  return description.empty() ? "no answer" : "no answer: " + description;
}

// The file can't be written: which one and why, for the status line.
bool Transfer::writeFailed() {
  const std::string reason = files_.lastErrorText();
  writeFailed_ = true;
  job_.failureText = "Could not write " + *job_.targetPath + (reason.empty() ? "" : ": ") + reason;
  return false;
}

// A strong ETag, else the Last-Modified date; "" when the answer has
// neither in a form that can be sent back.
std::string Transfer::validator() {
  std::string text;
  if (api_.httpQueryInfo(data_.get(), HttpQuery::ETag, text, kValidatorBytes) &&
      isValidatorText(text) && !text.starts_with("W/")) {
    return text;
  }
  if (api_.httpQueryInfo(data_.get(), HttpQuery::LastModified, text, kValidatorBytes) &&
      isValidatorText(text)) {
    return text;
  }
  return {};
}

bool Transfer::isChunked() {
  std::string text;
  return api_.httpQueryInfo(data_.get(), HttpQuery::TransferEncoding, text,
                            kTransferEncodingBytes) &&
         text.find("chunked") != std::string::npos;
}

// The announced size becomes the expected size, unless what is still to
// come would not fit the download folder's free space, or the file is
// larger than it can plausibly be: then it is refused before anything is
// written.
bool Transfer::takeExpectedSize(std::uint64_t size, std::uint64_t alreadyThere) {
  std::uint64_t free = 0;
  const std::uint64_t toCome = size > alreadyThere ? size - alreadyThere : 0;
  if (files_.freeSpace(targetParts(*job_.targetPath).folder, free) && toCome > free) {
    return refuse();
  }
  if ((job_.maxBytes != 0 && size > job_.maxBytes) || size > kLargestFile) return refuse();
  job_.expectedSize = static_cast<std::int64_t>(size);
  return true;
}

bool Transfer::refuse() {
  refused_ = true;
  return false;
}

// Nothing beyond the announced size or the limit of the job.
bool Transfer::receivedIsPlausible(std::uint32_t got) const {
  const std::uint64_t total = job_.receivedBytes + got;
  if (job_.expectedSize != kUnknownSize && total > static_cast<std::uint64_t>(job_.expectedSize)) {
    return false;
  }
  return job_.maxBytes == 0 || total <= job_.maxBytes;
}

bool Transfer::isComplete() const {
  return job_.expectedSize == kUnknownSize ||
         job_.receivedBytes == static_cast<std::uint64_t>(job_.expectedSize);
}

// Hashed as it lies on the disk, before it gets its name.
bool Transfer::hasExpectedDigest() {
  if (!job_.expectedSha256) return true;
  Sha256Digest digest{};
  if (job_.hashing == nullptr ||
      !sha256OfFile(files_, *job_.hashing, file_.partialPath(), digest)) {
    return false;
  }
  digestDiffers_ = digest != *job_.expectedSha256;
  return !digestDiffers_;
}

// Reads until the data ends (a read of 0 bytes). The file is put in place
// only when every byte arrived, was written and, when a digest is expected,
// has it. Data that stops coming (a failed read, a server too slow, fewer
// bytes than announced, the user quitting the setup) broke off: what arrived
// stays for a later attempt.
bool Transfer::receive() {
  origin_.total = job_.expectedSize;
  const bool opened = continuing_ ? file_.append(*job_.targetPath, resumable_)
                                  : file_.create(*job_.targetPath, *job_.url, origin_);
  if (!opened) return writeFailed();
  job_.resumedFrom = continuing_ ? resumable_ : 0;
  job_.receivedBytes = job_.resumedFrom;
  MinimumSpeed speed(job_.minimumBytesPerSecond, job_.minimumSpeedWindow,
                     MinimumSpeed::Clock::now());
  std::array<char, kReadBlockBytes> block;
  for (;;) {
    std::uint32_t got = 0;
    if (stopped() || !api_.readFile(data_.get(), block.data(), kReadBlockBytes, got)) {
      brokeOff_ = true;
      return false;
    }
    if (got == 0) break;
    if (!receivedIsPlausible(got)) return false;
    if (!file_.write(block.data(), got)) return writeFailed();
    job_.receivedBytes += got;
    if (!speed.keepsUp(got, MinimumSpeed::Clock::now())) {
      tooSlow_ = brokeOff_ = true;
      return false;
    }
  }
  if (!isComplete()) {
    brokeOff_ = true;
    return false;
  }
  if (!file_.close()) return writeFailed();
  return hasExpectedDigest() && (file_.commit() || writeFailed());
}

}  // namespace

bool downloadFile(InternetApi& internet, FileSystem& files, DownloadStatusCallback callback,
                  DownloadJob& job) {
  return Transfer(internet, files, callback, job).run();
}

}  // namespace ks
