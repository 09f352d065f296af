#pragma once
// InternetApi on WinINet itself. Handles are WinINet's own HINTERNET values;
// the status numbers the core's callback hears are WinINet's. A handle made
// with a context gets a small record of ours as its WinINet context, so the
// one WinINet callback can hand the core's context and callback on; the
// records live as long as this object.
//
// A 401 or 407 answer asks the frontend's Dialogs for a name and password
// and hands them to the request with InternetSetOptionW, so the same
// question works with and without a window.

#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/dialogs.h"
#include "platform/internet_api.h"

namespace ks {

class WinInetInternetApi final : public InternetApi {
 public:
  explicit WinInetInternetApi(Dialogs& dialogs) : dialogs_(dialogs) {}
  ~WinInetInternetApi() override;
  WinInetInternetApi(const WinInetInternetApi&) = delete;
  WinInetInternetApi& operator=(const WinInetInternetApi&) = delete;

  bool crackUrl(const std::string& url, UrlComponents& parts) override;
  std::uint32_t attemptConnect() override;
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
  // Closes the WinINet handle at once, which breaks off a call waiting on it
  // in another thread; the owner's closeHandle later only forgets it.
  void abortTransfer(InternetHandle handle) override;
  std::uint32_t lastError(std::string& description) override;

  // What the adapter keeps of a handle: the core's context and callback,
  // and the server a password question names.
  struct HandleRecord {
    void* context = nullptr;
    InternetStatusCallback callback = nullptr;
    std::string server;    // the connection's host
    std::string proxy;     // the session's proxy, "host:port"
    bool aborted = false;  // closed by abortTransfer
  };

 private:
  // A new record inheriting the parent's callback and server.
  HandleRecord* newRecord(InternetHandle parent, void* context);
  HandleRecord* recordOf(InternetHandle handle);
  void keep(InternetHandle handle, HandleRecord* record);

  Dialogs& dialogs_;
  std::mutex mutex_;
  std::deque<std::unique_ptr<HandleRecord>> records_;
  std::map<InternetHandle, HandleRecord*> byHandle_;
};

}  // namespace ks
