#pragma once
// One transfer in flight. The worker builds it on its own stack and hands its
// address to the client as the context of every handle, so the status
// callback finds it again. It does not own the texts it points to.

#include <cstdint>
#include <ctime>
#include <string>

namespace ks {

class DownloadNotifyWindow;

// Controls of the Download and Install page that show a transfer.
inline constexpr int kIdcDownloadStatus = 1042;
inline constexpr int kIdcDownloadSource = 1064;
inline constexpr int kIdcDownloadFolder = 1065;
inline constexpr int kIdcDownloadProgress = 1067;
inline constexpr int kIdcDownloadProgressBar = 1032;

// expectedSize when no size is available.
inline constexpr std::int32_t kUnknownSize = -1;

struct DownloadJob {
  DownloadNotifyWindow* window = nullptr;
  int statusControlId = 0;
  int sourceControlId = 0;
  int folderControlId = 0;
  int progressControlId = 0;
  int progressBarControlId = 0;
  const std::string* url = nullptr;
  const std::string* targetPath = nullptr;
  // "host:port", or null for the system's settings.
  const std::string* proxy = nullptr;
  // 0 until known; kUnknownSize when there is none.
  std::int32_t expectedSize = 0;
  std::uint32_t receivedBytes = 0;
  // When the response began (seconds since 1970).
  std::time_t startTime = 0;
};

}  // namespace ks
