#include "download/queue_progress.h"

#include <algorithm>
#include <cstdio>

namespace ks {

namespace {

constexpr std::uint64_t kKilobyte = 1024;
constexpr std::uint64_t kMegabyte = 1024 * 1024;
// "Package %d of %d", an em dash, then the two counts.
constexpr const char* kQueueLineFormat = "Package %d of %d \xE2\x80\x94 %s of %s";

}  // namespace

int progressBarPosition(const DownloadJob& job) {
  if (job.expectedSize <= 0) return 0;
  const std::uint64_t received = std::min<std::uint64_t>(job.receivedBytes, job.expectedSize);
  return static_cast<int>(received * kProgressBarRange /
                          static_cast<std::uint64_t>(job.expectedSize));
}

std::string byteCountText(std::uint64_t bytes, std::uint64_t scale) {
  char text[64];
  if (scale < kKilobyte) {
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  } else if (scale < kMegabyte) {
    std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / kKilobyte);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / kMegabyte);
  }
  return text;
}

// The announced size replaces the catalog's estimate of the running package;
// a total never falls below what has arrived.
std::string queueProgressLine(const QueueProgress& queue, std::uint64_t received,
                              std::int64_t expected) {
  std::uint64_t total = queue.bytesTotal;
  if (expected > 0) {
    total = total - std::min(total, queue.packageEstimate) + static_cast<std::uint64_t>(expected);
  }
  const std::uint64_t done = queue.bytesBefore + received;
  total = std::max(total, done);
  char text[160];
  std::snprintf(text, sizeof text, kQueueLineFormat, queue.package, queue.count,
                byteCountText(done, total).c_str(), byteCountText(total, total).c_str());
  return text;
}

}  // namespace ks
