#include "platform/posix/curl_transfer.h"

#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "platform/internet_api.h"
#include "platform/posix/curl_redirects.h"

namespace ks {

namespace {

constexpr long kMaxRedirects = 20;
constexpr std::chrono::milliseconds kLongestPoll{1000};
// The largest network block curl hands over at once. Every block is
// announced to the status callback, which shows it on the page, so larger
// blocks on a fast link keep the page's texts from slowing the transfer.
constexpr long kReceiveBlockBytes = 256 * 1024;
// Received bytes kept for the reader: two network blocks.
constexpr std::size_t kBufferedBytes = 2 * kReceiveBlockBytes;
// A receive takes at most this many rounds of what the socket already holds.
constexpr int kMaxPerformsPerReceive = 16;

CurlTransfer& self(void* pointer) {
  return *static_cast<CurlTransfer*>(pointer);
}

// The header lines of the settings, one list entry each.
curl_slist* headerList(std::string_view lines) {
  curl_slist* list = nullptr;
  while (!lines.empty()) {
    const std::size_t end = lines.find("\r\n");
    const std::string line(lines.substr(0, end));
    if (!line.empty()) list = curl_slist_append(list, line.c_str());
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 2);
  }
  return list;
}

}  // namespace

void CurlTransferStop::request() {
  requested_ = true;
  std::lock_guard lock(mutex_);
  if (multi_ != nullptr) curl_multi_wakeup(multi_);
}

void CurlTransferStop::attach(CURLM* multi) {
  std::lock_guard lock(mutex_);
  multi_ = multi;
}

CurlTransfer::CurlTransfer(const CurlTransferSettings& settings, Notify notify,
                           std::shared_ptr<CurlTransferStop> stop)
    : notify_(std::move(notify)),
      stop_(std::move(stop)),
      idleTimeout_(settings.idleTimeout),
      http_(settings.http) {
  multi_ = curl_multi_init();
  easy_ = curl_easy_init();
  configure(settings);
  curl_multi_add_handle(multi_, easy_);
  lastActivity_ = std::chrono::steady_clock::now();
  if (stop_) stop_->attach(multi_);
}

CurlTransfer::~CurlTransfer() {
  if (stop_) stop_->attach(nullptr);
  curl_multi_remove_handle(multi_, easy_);
  curl_easy_cleanup(easy_);
  curl_multi_cleanup(multi_);
  curl_slist_free_all(requestHeaders_);
}

void CurlTransfer::configure(const CurlTransferSettings& s) {
  curl_easy_setopt(easy_, CURLOPT_URL, s.url.c_str());
  curl_easy_setopt(easy_, CURLOPT_USERAGENT, s.agent.c_str());
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  // Redirects stay on the web, and never go from https to http (checked as
  // each redirect answer ends, see headerLine).
  curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy_, CURLOPT_FTPPORT, "-");  // active mode
  curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(idleTimeout_.count()));
  curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorText_);
  // https servers are always checked: the chain and the host name.
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!s.certificateAuthorities.empty()) {
    curl_easy_setopt(easy_, CURLOPT_CAINFO, s.certificateAuthorities.c_str());
  }
  requestHeaders_ = headerList(s.headers);
  if (requestHeaders_ != nullptr) curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, requestHeaders_);
  if (s.restartAt != 0) {
    curl_easy_setopt(easy_, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(s.restartAt));
  }
  if (s.viaProxy) {
    curl_easy_setopt(easy_, CURLOPT_PROXY, s.proxy.c_str());
    curl_easy_setopt(easy_, CURLOPT_NOPROXY, "");  // no bypass list
  }
  if (!s.userName.empty()) {
    curl_easy_setopt(easy_, CURLOPT_USERNAME, s.userName.c_str());
    curl_easy_setopt(easy_, CURLOPT_PASSWORD, s.password.c_str());
  }
  if (!s.proxyUserName.empty()) {
    curl_easy_setopt(easy_, CURLOPT_PROXYUSERNAME, s.proxyUserName.c_str());
    curl_easy_setopt(easy_, CURLOPT_PROXYPASSWORD, s.proxyPassword.c_str());
  }
  if (s.sizeOnly) curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(easy_, CURLOPT_OPENSOCKETFUNCTION, onOpenSocket);
  curl_easy_setopt(easy_, CURLOPT_OPENSOCKETDATA, this);
  curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, onPrereq);
  curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
  curl_easy_setopt(easy_, CURLOPT_DEBUGFUNCTION, onDebug);
  curl_easy_setopt(easy_, CURLOPT_DEBUGDATA, this);
  curl_easy_setopt(easy_, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, kReceiveBlockBytes);
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, onWrite);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
}

// Name resolution is done when curl asks for a socket; the connection
// attempt follows at once.
curl_socket_t CurlTransfer::onOpenSocket(void* pointer, curlsocktype purpose,
                                         curl_sockaddr* address) {
  if (purpose == CURLSOCKTYPE_IPCXN) {
    CurlTransfer& transfer = self(pointer);
    transfer.notify_(kInternetStatusResolvingName);
    transfer.notify_(kInternetStatusNameResolved);
    transfer.notify_(kInternetStatusConnectingToServer);
  }
  return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

int CurlTransfer::onPrereq(void* pointer, char*, char*, int, int) {
  CurlTransfer& transfer = self(pointer);
  transfer.connected_ = true;
  transfer.notify_(kInternetStatusConnectedToServer);
  if (transfer.http_) transfer.notify_(kInternetStatusSendingRequest);
  return CURL_PREREQFUNC_OK;
}

int CurlTransfer::onDebug(CURL*, curl_infotype type, char*, std::size_t, void* pointer) {
  CurlTransfer& transfer = self(pointer);
  if (type == CURLINFO_HEADER_IN || type == CURLINFO_DATA_IN) {
    transfer.lastActivity_ = std::chrono::steady_clock::now();
  }
  if (type == CURLINFO_HEADER_OUT && transfer.http_) {
    transfer.notify_(kInternetStatusRequestSent);
  }
  return 0;
}

// Returning less than size makes curl give the transfer up.
std::size_t CurlTransfer::onHeader(char* data, std::size_t, std::size_t size, void* pointer) {
  CurlTransfer& transfer = self(pointer);
  if (transfer.http_ && !transfer.headerLine(std::string_view(data, size))) return 0;
  return size;
}

bool CurlTransfer::headerLine(std::string_view line) {
  switch (headers_.addLine(line)) {
    case HeaderLine::Status:
      notify_(kInternetStatusReceivingResponse);
      return true;
    case HeaderLine::End:
      if (headers_.statusCode() >= 100 && headers_.statusCode() <= 199) {
        notify_(kInternetStatusIntermediateResponse);
      } else if (headers_.isRedirect()) {
        notify_(kInternetStatusResponseReceived);
        if (!redirectIsAllowed()) return false;
        notify_(kInternetStatusRedirect);
      } else {
        answered_ = true;
        notify_(kInternetStatusResponseReceived);
      }
      return true;
    default:
      return true;
  }
}

bool CurlTransfer::redirectIsAllowed() const {
  const char* current = nullptr;
  std::string location;
  return curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &current) == CURLE_OK &&
         current != nullptr && headers_.find("Location", location) &&
         redirectAllowed(current, location);
}

// Keeps the network blocks curl delivers until the reader takes them (they
// are announced by step), up to a bounded buffer; when the next block would not fit, curl keeps it
// and the transfer pauses until the reader has caught up. Memory stays constant whatever the file's
// size, and curl is not paused for every block.
std::size_t CurlTransfer::onWrite(char* data, std::size_t, std::size_t size, void* pointer) {
  CurlTransfer& transfer = self(pointer);
  const std::size_t unread = transfer.pending_.size() - transfer.pendingRead_;
  if (unread > 0 && unread + size > kBufferedBytes) {
    transfer.paused_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  transfer.compact();
  transfer.answered_ = true;
  transfer.pending_.insert(transfer.pending_.end(), data, data + size);
  transfer.received_ = true;
  return size;
}

// Drops the bytes the reader has taken once they are half the buffer (or
// all of it), so the buffer's front is moved rarely.
void CurlTransfer::compact() {
  if (pendingEmpty()) {
    pending_.clear();
    pendingRead_ = 0;
  } else if (pendingRead_ >= kBufferedBytes / 2) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pendingRead_));
    pendingRead_ = 0;
  }
}

void CurlTransfer::perform() {
  int running = 0;
  curl_multi_perform(multi_, &running);
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg == CURLMSG_DONE) {
      done_ = true;
      result_ = message->data.result;
    }
  }
}

bool CurlTransfer::step() {
  if (!done_ && stop_ && stop_->requested()) {
    done_ = true;
    result_ = CURLE_ABORTED_BY_CALLBACK;
  }
  if (done_) return false;
  if (paused_ && pending_.size() - pendingRead_ <= kBufferedBytes / 2) {
    paused_ = false;
    lastActivity_ = std::chrono::steady_clock::now();
    curl_easy_pause(easy_, CURLPAUSE_CONT);
  }
  perform();
  // What the socket holds already belongs to the same receive: take it too
  // (as long as there is room) before the response is announced.
  for (int more = 0; more < kMaxPerformsPerReceive && received_ && !done_ && !paused_ &&
                     pending_.size() - pendingRead_ <= kBufferedBytes / 2;
       ++more) {
    const std::size_t before = pending_.size();
    curl_multi_poll(multi_, nullptr, 0, 0, nullptr);
    perform();
    if (pending_.size() == before) break;
  }
  // One receive from the network, as a read that had to wait for data sees
  // it: however many blocks curl handed over, the response is announced once.
  if (received_) {
    received_ = false;
    notify_(kInternetStatusReceivingResponse);
    notify_(kInternetStatusResponseReceived);
  }
  if (done_ || !pendingEmpty()) return !done_;
  const auto now = std::chrono::steady_clock::now();
  const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastActivity_);
  if (idle >= idleTimeout_) {
    done_ = true;
    result_ = CURLE_OPERATION_TIMEDOUT;
    return false;
  }
  const auto wait = std::min(kLongestPoll, idleTimeout_ - idle);
  curl_multi_poll(multi_, nullptr, 0, static_cast<int>(wait.count()), nullptr);
  return true;
}

// An answer whose body broke off on the way is still an answer: the reader
// gets what arrived before it hears of the failure.
bool CurlTransfer::start() {
  while (!answered_ && pendingEmpty() && step()) {
  }
  return answered_ || !failed();
}

bool CurlTransfer::read(char* buffer, std::uint32_t wanted, std::uint32_t& got) {
  while (pendingEmpty() && step()) {
  }
  const std::size_t take = std::min<std::size_t>(wanted, pending_.size() - pendingRead_);
  if (take > 0) std::memcpy(buffer, pending_.data() + pendingRead_, take);
  pendingRead_ += take;
  got = static_cast<std::uint32_t>(take);
  return take > 0 || !failed();
}

CurlFailure CurlTransfer::failure() const {
  return describeCurlFailure(easy_, result_, errorText_);
}

std::int64_t CurlTransfer::announcedSize() const {
  curl_off_t size = -1;
  curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
  return size;
}

}  // namespace ks
