#include "download/progress_line.h"

#include <climits>
#include <cstdint>
#include <cstdio>

namespace ks {

namespace {

constexpr const char* kKnownSizeFormat = "%llu KB of %llu KB received (%d%%) - %.2f KB/s";
constexpr const char* kUnknownSizeFormat = "%llu KB of unknown received - %.2f KB/s";
// A file smaller than a kilobyte is counted in bytes: in kilobytes it would
// read "0 KB of 0 KB".
constexpr const char* kSmallSizeFormat = "%llu bytes of %lld bytes received (%d%%) - %.2f KB/s";
constexpr std::int64_t kBytesPerKilobyte = 1024;
// From 4 GiB on, kilobyte figures of seven digits and more are hard to read:
// the line counts gigabytes and megabytes per second instead.
constexpr const char* kLargeKnownSizeFormat = "%.2f GB of %.2f GB received (%d%%) - %.2f MB/s";
constexpr const char* kLargeUnknownSizeFormat = "%.2f GB of unknown received - %.2f MB/s";
constexpr std::uint64_t kLargeFileBytes = std::uint64_t{4} << 30;
constexpr double kKilobytesPerByte = 1.0 / 1024.0;
constexpr double kMegabytesPerByte = 1.0 / (1024.0 * 1024.0);
constexpr double kGigabytesPerByte = 1.0 / (1024.0 * 1024.0 * 1024.0);

// Over the bytes this transfer brought: those an earlier attempt left
// arrived at another time.
std::uint64_t averageSpeed(const DownloadJob& job, std::time_t now) {
  const std::uint64_t brought = job.receivedBytes - job.resumedFrom;
  const auto elapsed = static_cast<std::uint64_t>(now - job.startTime);
  return elapsed == 0 ? brought : brought / elapsed;
}

// Without an expected size yet (0) the share is shown as 0.
int percentReceived(const DownloadJob& job) {
  if (job.expectedSize <= 0) return 0;
  const double percent =
      static_cast<double>(job.receivedBytes) / static_cast<double>(job.expectedSize) * 100.0;
  return percent < INT_MAX ? static_cast<int>(percent) : INT_MAX;
}

bool isLarge(const DownloadJob& job) {
  return job.receivedBytes >= kLargeFileBytes ||
         (job.expectedSize != kUnknownSize &&
          static_cast<std::uint64_t>(job.expectedSize) >= kLargeFileBytes);
}

std::string kilobyteLine(const DownloadJob& job, std::uint64_t bytesPerSecond) {
  const double kbPerSecond = static_cast<double>(bytesPerSecond) * kKilobytesPerByte;
  const auto receivedKb = static_cast<unsigned long long>(job.receivedBytes >> 10);
  char text[160];
  if (job.expectedSize == kUnknownSize) {
    std::snprintf(text, sizeof text, kUnknownSizeFormat, receivedKb, kbPerSecond);
  } else if (job.expectedSize > 0 && job.expectedSize < kBytesPerKilobyte) {
    std::snprintf(text, sizeof text, kSmallSizeFormat,
                  static_cast<unsigned long long>(job.receivedBytes),
                  static_cast<long long>(job.expectedSize), percentReceived(job), kbPerSecond);
  } else {
    const auto totalKb =
        static_cast<unsigned long long>(static_cast<std::uint64_t>(job.expectedSize) >> 10);
    std::snprintf(text, sizeof text, kKnownSizeFormat, receivedKb, totalKb, percentReceived(job),
                  kbPerSecond);
  }
  return text;
}

std::string gigabyteLine(const DownloadJob& job, std::uint64_t bytesPerSecond) {
  const double mbPerSecond = static_cast<double>(bytesPerSecond) * kMegabytesPerByte;
  const double receivedGb = static_cast<double>(job.receivedBytes) * kGigabytesPerByte;
  char text[160];
  if (job.expectedSize == kUnknownSize) {
    std::snprintf(text, sizeof text, kLargeUnknownSizeFormat, receivedGb, mbPerSecond);
  } else {
    const double totalGb = static_cast<double>(job.expectedSize) * kGigabytesPerByte;
    std::snprintf(text, sizeof text, kLargeKnownSizeFormat, receivedGb, totalGb,
                  percentReceived(job), mbPerSecond);
  }
  return text;
}

std::string line(const DownloadJob& job, std::uint64_t bytesPerSecond) {
  return isLarge(job) ? gigabyteLine(job, bytesPerSecond) : kilobyteLine(job, bytesPerSecond);
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
