#pragma once
// One transfer in flight. The worker builds it on its own stack and hands its
// address to the client as the context of every handle, so the status
// callback finds it again. It does not own the texts it points to.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>

namespace ks {

class DownloadNotifyWindow;
class TransferCancel;

// Controls of the Download and Install page that show a transfer.
inline constexpr int kIdcDownloadStatus = 1042;
inline constexpr int kIdcDownloadSource = 1064;
inline constexpr int kIdcDownloadFolder = 1065;
inline constexpr int kIdcDownloadProgress = 1067;
inline constexpr int kIdcDownloadProgressBar = 1032;

// expectedSize when no size is available.
inline constexpr std::int32_t kUnknownSize = -1;

// The slowest a transfer may be: fewer bytes than this per second, on
// average over the last window, fail it (a server that trickles).
inline constexpr std::uint32_t kMinimumBytesPerSecond = 1024;
inline constexpr std::chrono::milliseconds kMinimumSpeedWindow{60000};

enum class DownloadOutcome {
  Running,
  Succeeded,
  Failed,
  TooSlow,  // failed: the server sent too slowly
};

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
  // The largest file this transfer may bring, in bytes; 0 for no limit
  // beyond the 32-bit sizes.
  std::uint64_t maxBytes = 0;
  std::uint32_t minimumBytesPerSecond = kMinimumBytesPerSecond;
  std::chrono::milliseconds minimumSpeedWindow = kMinimumSpeedWindow;
  // How the transfer ended; set before its handles close, so the texts of
  // their closing say it.
  DownloadOutcome outcome = DownloadOutcome::Running;
  // Set when the transfer can be stopped from another thread; null for none.
  TransferCancel* cancel = nullptr;
};

}  // namespace ks
