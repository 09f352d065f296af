// The progress line: kilobytes, share of the expected size, average speed.

#include "download/progress_line.h"

#include <gtest/gtest.h>

#include "download/queue_progress.h"

namespace ks {
namespace {

DownloadJob jobWith(std::uint64_t received, std::int64_t expected, std::time_t start) {
  DownloadJob job;
  job.receivedBytes = received;
  job.expectedSize = expected;
  job.startTime = start;
  return job;
}

TEST(ProgressLine, FiveSecondsOf2560000BytesAveragesTo500KBPerSecond) {
  const DownloadJob job = jobWith(2560000, 2560000, 1000);
  EXPECT_EQ(formatProgressLine(job, 1005), "2500 KB of 2500 KB received (100%) - 500.00 KB/s");
}

TEST(ProgressLine, WithinTheFirstSecondTheByteCountIsTheSpeed) {
  const DownloadJob job = jobWith(3072, 10240, 1000);
  EXPECT_EQ(formatProgressLine(job, 1000), "3 KB of 10 KB received (30%) - 3.00 KB/s");
}

TEST(ProgressLine, SpeedIsAWholeBytesPerSecondAverage) {
  // 10000 / 3 = 3333 bytes per second = 3.2548... KB/s
  const DownloadJob job = jobWith(10000, 20000, 1000);
  EXPECT_EQ(formatProgressLine(job, 1003), "9 KB of 19 KB received (50%) - 3.25 KB/s");
}

TEST(ProgressLine, PercentIsTruncatedTowardZero) {
  const DownloadJob job = jobWith(1999, 2000, 1000);
  EXPECT_EQ(formatProgressLine(job, 1001), "1 KB of 1 KB received (99%) - 1.95 KB/s");
}

TEST(ProgressLine, UnknownSizeUsesTheSecondForm) {
  const DownloadJob job = jobWith(4096, kUnknownSize, 1000);
  EXPECT_EQ(formatProgressLine(job, 1002), "4 KB of unknown received - 2.00 KB/s");
}

TEST(ProgressLine, SizeNotYetKnownShowsNoShare) {
  const DownloadJob job = jobWith(0, 0, 1000);
  EXPECT_EQ(formatProgressLine(job, 1000), "0 KB of 0 KB received (0%) - 0.00 KB/s");
}

// Sizes beyond 32 bits: kilobytes up to 4 GiB, then gigabytes and megabytes
// per second; nothing wraps around.
TEST(ProgressLine, LargeFilesAreCountedWithoutOverflowAndInGigabytesFrom4GiB) {
  constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
  const DownloadJob below = jobWith(3 * kGiB, 4 * kGiB - 1, 1000);
  EXPECT_EQ(formatProgressLine(below, 1003),
            "3145728 KB of 4194303 KB received (75%) - 1048576.00 KB/s");
  const DownloadJob large = jobWith(5 * kGiB / 2, 5 * kGiB, 1000);
  EXPECT_EQ(formatProgressLine(large, 1010), "2.50 GB of 5.00 GB received (50%) - 256.00 MB/s");
  const DownloadJob unknown = jobWith(9 * kGiB, kUnknownSize, 1000);
  EXPECT_EQ(formatProgressLine(unknown, 1009), "9.00 GB of unknown received - 1024.00 MB/s");
}

// A continued transfer's speed counts only what this transfer brought.
TEST(ProgressLine, AContinuedTransfersSpeedLeavesOutWhatWasThereBefore) {
  DownloadJob job = jobWith(3 * 1024 * 1024, 4 * 1024 * 1024, 1000);
  job.resumedFrom = 2 * 1024 * 1024;
  EXPECT_EQ(formatProgressLine(job, 1004), "3072 KB of 4096 KB received (75%) - 256.00 KB/s");
}

TEST(ProgressLine, AFileSmallerThanAKilobyteIsCountedInBytes) {
  const DownloadJob job = jobWith(500, 500, 1000);
  EXPECT_EQ(formatProgressLine(job, 1001), "500 bytes of 500 bytes received (100%) - 0.49 KB/s");
}

// The overall line under the bar: the running package's announced size
// takes the place of the catalog's estimate; counts read in the total's unit.
TEST(QueueProgressLine, TheAnnouncedSizeReplacesTheEstimate) {
  constexpr std::uint64_t kMb = 1024 * 1024;
  const QueueProgress queue{2, 3, 5 * kMb, 20 * kMb, 4 * kMb};
  EXPECT_EQ(queueProgressLine(queue, 0, 0), "Package 2 of 3 \u2014 5.0 MB of 20.0 MB");
  EXPECT_EQ(queueProgressLine(queue, 3 * kMb, 6 * kMb), "Package 2 of 3 \u2014 8.0 MB of 22.0 MB");
  // A catalog that says too little never shows more done than in all.
  EXPECT_EQ(queueProgressLine({1, 1, 0, 0, 0}, 300, kUnknownSize),
            "Package 1 of 1 \u2014 300 bytes of 300 bytes");
  EXPECT_EQ(queueProgressLine({1, 2, 0, 3072, 1024}, 512, 1024),
            "Package 1 of 2 \u2014 0.5 KB of 3.0 KB");
}

TEST(ProgressLine, ResponseStartSetsTheStartTimeAndShowsNoSpeed) {
  DownloadJob job = jobWith(0, 2048, 5);
  EXPECT_EQ(startProgressLine(job, 777), "0 KB of 2 KB received (0%) - 0.00 KB/s");
  EXPECT_EQ(job.startTime, 777);
}

}  // namespace
}  // namespace ks
