#pragma once
// InternetApi on libcurl: HTTP, HTTPS and FTP (active mode), one
// "host:port" proxy for every protocol, redirects followed, and the password
// question of a 401 or 407 answer asked through the Dialogs port. https
// servers are checked against the system's certificate authorities, or
// those of the PEM file SSL_CERT_FILE names (OpenSSL's convention).

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/dialogs.h"
#include "platform/internet_api.h"

namespace ks {

struct CurlTransferSettings;

struct CurlInternetOptions {
  // A transfer fails when no byte arrived for this long (a silent server).
  std::chrono::milliseconds idleTimeout{60000};
  // A PEM file of the certificate authorities https servers are checked
  // against; empty for SSL_CERT_FILE, or the system's when that isn't set.
  std::string certificateAuthorities;
};

class CurlInternetApi final : public InternetApi {
 public:
  explicit CurlInternetApi(Dialogs& dialogs, CurlInternetOptions options = {});
  ~CurlInternetApi() override;

  bool crackUrl(const std::string& url, UrlComponents& parts) override;
  std::uint32_t attemptConnect() override { return 0; }
  InternetHandle open(const std::string& agent, InternetAccess access,
                      const std::string& proxy) override;
  InternetHandle connect(InternetHandle internet, const UrlComponents& server,
                         InternetService service, void* context) override;
  InternetHandle ftpFindFirstFile(InternetHandle connection, const std::string& path,
                                  std::uint64_t& fileSize) override;
  InternetHandle openUrl(InternetHandle internet, const std::string& url, void* context) override;
  InternetHandle ftpOpenFile(InternetHandle connection, const std::string& path,
                             std::uint64_t restartAt, void* context) override;
  InternetHandle httpOpenRequest(InternetHandle connection, const std::string& object, bool secure,
                                 void* context) override;
  bool httpSendRequest(InternetHandle request, const std::string& headers) override;
  std::uint32_t errorDialog(InternetHandle request, std::uint32_t error) override;
  bool httpQueryInfo(InternetHandle request, HttpQuery query, std::string& value,
                     std::size_t bufferBytes) override;
  bool readFile(InternetHandle data, char* buffer, std::uint32_t wanted,
                std::uint32_t& got) override;
  bool closeHandle(InternetHandle handle) override;
  void setStatusCallback(InternetHandle handle, InternetStatusCallback callback) override;
  void abortTransfer(InternetHandle handle) override;
  std::uint32_t lastError(std::string& description) override;

 private:
  struct Handle;
  InternetHandle add(std::unique_ptr<Handle> handle);
  Handle* find(InternetHandle handle);
  void notify(InternetHandle handle, std::uint32_t status);
  CurlTransferSettings settingsFor(const Handle& session, const std::string& url) const;
  // Starts the transfer of a handle just added; closes it and answers null
  // when that fails.
  InternetHandle started(InternetHandle id);
  // A request or file handle on a connection of the service, for path on
  // its server; null when the connection is none of that service.
  std::unique_ptr<Handle> transferOn(InternetHandle connection, InternetService service,
                                     const char* scheme, const std::string& path, void* context);

  Dialogs& dialogs_;
  CurlInternetOptions options_;
  std::mutex mutex_;
  std::map<InternetHandle, std::unique_ptr<Handle>> handles_;
  InternetHandle next_ = 1;
};

}  // namespace ks
