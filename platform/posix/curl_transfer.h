#pragma once
// One libcurl transfer pulled by its reader: the multi interface is driven
// only from start() and read(), and a transfer whose reader has not taken the
// last block yet is paused, so memory stays at one network block whatever
// the size of the file. Status notifications are reported in WinINet's
// order from curl's callbacks.

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/curl_failure.h"
#include "platform/posix/curl_response_headers.h"

namespace ks {

struct CurlTransferSettings {
  std::string url;
  std::string agent;
  bool viaProxy = false;  // else the system's (environment's) settings
  std::string proxy;
  std::string userName;  // empty: none beyond those in the URL
  std::string password;
  std::string proxyUserName;
  std::string proxyPassword;
  bool http = true;       // answers have header lines to read
  bool sizeOnly = false;  // ask for the size, fetch no data
  std::chrono::milliseconds idleTimeout{60000};
  std::string certificateAuthorities;  // empty: the system's
  // Extra request header lines, each ended by "\r\n" (HTTP).
  std::string headers;
  // FTP: the data begins at this byte of the file (REST).
  std::uint64_t restartAt = 0;
};

// Stops the transfers of one handle from another thread: the one running
// wakes from its wait on the network at once and fails, and so does every
// later one.
class CurlTransferStop {
 public:
  void request();
  bool requested() const { return requested_; }
  // The running transfer's multi handle (null when none runs).
  void attach(CURLM* multi);

 private:
  std::atomic<bool> requested_{false};
  std::mutex mutex_;
  CURLM* multi_ = nullptr;
};

class CurlTransfer {
 public:
  using Notify = std::function<void(std::uint32_t status)>;

  CurlTransfer(const CurlTransferSettings& settings, Notify notify,
               std::shared_ptr<CurlTransferStop> stop = nullptr);
  ~CurlTransfer();
  CurlTransfer(const CurlTransfer&) = delete;
  CurlTransfer& operator=(const CurlTransfer&) = delete;

  // Runs until the final answer's header lines are in (HTTP), the first data
  // arrived or the transfer ended. False when it failed before an answer.
  bool start();
  // Waits until data is there and hands over at most `wanted` bytes of it;
  // 0 only at the end. False on failure, once every byte that arrived
  // before it has been handed over.
  bool read(char* buffer, std::uint32_t wanted, std::uint32_t& got);

  const ResponseHeaders& headers() const { return headers_; }
  bool answered() const { return answered_; }
  bool connected() const { return connected_; }
  // Why the transfer failed (start or read returned false).
  CurlFailure failure() const;
  // The size the server announced (FTP SIZE, HTTP Content-Length); -1 if none.
  std::int64_t announcedSize() const;

 private:
  static curl_socket_t onOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address);
  static int onPrereq(void* self, char*, char*, int, int);
  static int onDebug(CURL*, curl_infotype type, char*, std::size_t, void* self);
  static std::size_t onHeader(char* data, std::size_t, std::size_t size, void* self);
  static std::size_t onWrite(char* data, std::size_t, std::size_t size, void* self);

  void configure(const CurlTransferSettings& settings);
  // False when the transfer must stop (a redirect that is not allowed).
  bool headerLine(std::string_view line);
  bool redirectIsAllowed() const;
  bool pendingEmpty() const { return pendingRead_ == pending_.size(); }
  void compact();
  // Lets curl work on what the connection has; notes when the transfer ends.
  void perform();
  // One round of work; false when the transfer has ended.
  bool step();
  bool failed() const { return done_ && result_ != CURLE_OK; }

  Notify notify_;
  std::shared_ptr<CurlTransferStop> stop_;
  std::chrono::milliseconds idleTimeout_;
  bool http_;
  CURLM* multi_ = nullptr;
  CURL* easy_ = nullptr;
  curl_slist* requestHeaders_ = nullptr;
  char errorText_[CURL_ERROR_SIZE] = {};
  ResponseHeaders headers_;
  std::vector<char> pending_;
  std::size_t pendingRead_ = 0;
  bool paused_ = false;
  bool done_ = false;
  bool answered_ = false;
  // Data arrived during the last perform and is not announced yet.
  bool received_ = false;
  bool connected_ = false;
  CURLcode result_ = CURLE_OK;
  std::chrono::steady_clock::time_point lastActivity_;
};

}  // namespace ks
