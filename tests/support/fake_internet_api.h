#pragma once
// A scripted Internet client. It logs every call in order, hands out the
// scripted answer and emits the status notifications a WinINet session would
// (handle created, the connection and response steps of a send, a response
// per block read, handle closing) to the callbacks installed.

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/internet_api.h"

namespace ks::test {

class FakeInternetApi : public InternetApi {
 public:
  struct Script {
    bool urlKnown = true;
    UrlComponents parts{"example.test", "", "", "/pkg/file.cab", 80};
    std::uint32_t attemptConnectResult = 0;
    bool openWorks = true;
    bool connectWorks = true;
    bool requestWorks = true;
    bool openUrlWorks = true;
    bool ftpFileFound = true;
    std::uint64_t ftpFileSize = 0;
    // Answers of errorDialog, one per call; kErrorSuccess once used up.
    std::deque<std::uint32_t> dialogAnswers;
    std::optional<std::string> contentLength;
    std::string statusCode = "200";
    std::optional<std::string> contentRange;
    std::optional<std::string> transferEncoding;
    std::optional<std::string> etag;
    std::optional<std::string> lastModified;
    // A send that gets no answer, and what lastError then says.
    bool sendWorks = true;
    std::uint32_t sendError = 0;
    std::string sendErrorText;
    bool ftpRestartWorks = true;
    std::string body;
    // The read that would pass this many bytes fails instead.
    std::optional<std::size_t> failReadAfter;
  };

  Script script;
  std::vector<std::string> calls;
  std::vector<std::uint32_t> notifications;  // every status sent to a callback

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
  // Any thread: every later read fails (the fake serves one transfer).
  void abortTransfer(InternetHandle handle) override;
  std::atomic<int> aborts{0};
  std::uint32_t lastError(std::string& description) override;

  // Handles not closed yet, by name ("internet", "connection", ...).
  std::vector<std::string> openHandles() const;

 private:
  struct Handle {
    std::string name;
    void* context = nullptr;
    InternetStatusCallback callback = nullptr;
  };
  InternetHandle add(const std::string& name, void* context, InternetStatusCallback inherited);
  void notify(InternetHandle handle, std::uint32_t status);
  std::map<InternetHandle, Handle> handles_;
  InternetHandle next_ = 1;
  std::size_t delivered_ = 0;
  std::uint32_t lastError_ = 0;
  std::string lastErrorText_;
};

}  // namespace ks::test
