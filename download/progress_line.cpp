#include "download/progress_line.h"

#include <climits>
#include <cstdint>
#include <cstdio>

namespace ks {

namespace {

constexpr const char* kKnownSizeFormat = "%d KB of %d KB received (%d%%) - %.2f KB/s";
constexpr const char* kUnknownSizeFormat = "%d KB of unknown received - %.2f KB/s";
constexpr double kKilobytesPerByte = 1.0 / 1024.0;

std::uint32_t averageSpeed(const DownloadJob& job, std::time_t now) {
  const auto elapsed = static_cast<std::uint32_t>(now - job.startTime);
  return elapsed == 0 ? job.receivedBytes : job.receivedBytes / elapsed;
}

// Without an expected size yet (0) the share is shown as 0.
int percentReceived(const DownloadJob& job) {
  if (job.expectedSize <= 0) return 0;
  const double percent = static_cast<double>(job.receivedBytes) / job.expectedSize * 100.0;
  return percent < INT_MAX ? static_cast<int>(percent) : INT_MAX;
}

std::string line(const DownloadJob& job, std::uint32_t bytesPerSecond) {
  const double kbPerSecond = bytesPerSecond * kKilobytesPerByte;
  const auto receivedKb = static_cast<int>(job.receivedBytes >> 10);
  char text[128];
  if (job.expectedSize == kUnknownSize) {
    std::snprintf(text, sizeof text, kUnknownSizeFormat, receivedKb, kbPerSecond);
  } else {
    const auto totalKb = static_cast<int>(static_cast<std::uint32_t>(job.expectedSize) >> 10);
    std::snprintf(text, sizeof text, kKnownSizeFormat, receivedKb, totalKb, percentReceived(job),
                  kbPerSecond);
  }
  return text;
}

}  // namespace

std::string formatProgressLine(const DownloadJob& job, std::time_t now) {
  return line(job, averageSpeed(job, now));
}

std::string startProgressLine(DownloadJob& job, std::time_t now) {
  job.startTime = now;
  return line(job, 0);
}

}  // namespace ks
