#pragma once
// One transfer in flight. The worker builds it on its own stack and hands its
// address to the client as the context of every handle, so the status
// callback finds it again. It does not own the texts it points to.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "platform/hashing.h"

namespace ks {

class DownloadNotifyWindow;
class TransferCancel;
struct QueueProgress;

// Controls of the Download and Install page that show a transfer.
inline constexpr int kIdcDownloadStatus = 1042;
inline constexpr int kIdcDownloadSource = 1064;
inline constexpr int kIdcDownloadFolder = 1065;
inline constexpr int kIdcDownloadProgress = 1067;
inline constexpr int kIdcDownloadProgressBar = 1032;
// The overall line under the progress bar: the package and bytes of the queue.
inline constexpr int kIdcQueueProgress = 1033;
// The progress bar runs from 0 to this.
inline constexpr int kProgressBarRange = 100;

// expectedSize when no size is available.
inline constexpr std::int64_t kUnknownSize = -1;

// The slowest a transfer may be: fewer bytes than this per second, on
// average over the last window, fail it (a server that trickles).
inline constexpr std::uint32_t kMinimumBytesPerSecond = 1024;
inline constexpr std::chrono::milliseconds kMinimumSpeedWindow{60000};

enum class DownloadOutcome {
  Running,
  Succeeded,
  Failed,
  TooSlow,            // failed: the server sent too slowly
  CertificateFailed,  // failed: the server's certificate was refused (failureText says why)
  HashMismatch,       // failed: the whole file arrived, but not with the expected digest
};

struct DownloadJob {
  DownloadNotifyWindow* window = nullptr;
  int statusControlId = 0;
  int sourceControlId = 0;
  int folderControlId = 0;
  int progressControlId = 0;
  int progressBarControlId = 0;
  int queueControlId = 0;
  // The queue the package belongs to; null or count 0 for none.
  const QueueProgress* queue = nullptr;
  const std::string* url = nullptr;
  const std::string* targetPath = nullptr;
  // "host:port", or null for the system's settings.
  const std::string* proxy = nullptr;
  // The whole file's size: 0 until known; kUnknownSize when there is none.
  std::int64_t expectedSize = 0;
  // Bytes of the file so far, those an earlier attempt left included.
  std::uint64_t receivedBytes = 0;
  // The bytes an earlier attempt left that this transfer continues after
  // (0 when it started from the beginning).
  std::uint64_t resumedFrom = 0;
  // When the response began (seconds since 1970).
  std::time_t startTime = 0;
  // The largest file this transfer may bring, in bytes; 0 for no limit.
  std::uint64_t maxBytes = 0;
  // When set, the file is put in place only when it has this digest,
  // computed through hashing (without hashing it never is).
  std::optional<Sha256Digest> expectedSha256;
  Hashing* hashing = nullptr;
  std::uint32_t minimumBytesPerSecond = kMinimumBytesPerSecond;
  std::chrono::milliseconds minimumSpeedWindow = kMinimumSpeedWindow;
  // How the transfer ended; set before its handles close, so the texts of
  // their closing say it.
  DownloadOutcome outcome = DownloadOutcome::Running;
  // Set when the transfer can be stopped from another thread; null for none.
  TransferCancel* cancel = nullptr;
  // Why it failed, where the status line says more than that it did.
  std::string failureText;
};

}  // namespace ks
