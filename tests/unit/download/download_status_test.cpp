// The status callback: the status line for every notification, and the
// source, folder and progress lines.

#include "download/download_status.h"

#include <gtest/gtest.h>

#include "app/paths.h"
#include "catalog/catalog_records.h"
#include "download/download_job.h"
#include "tests/support/fake_notify_window.h"

namespace ks {
namespace {

class DownloadStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    job.window = &window;
    job.statusControlId = kIdcDownloadStatus;
    job.sourceControlId = kIdcDownloadSource;
    job.folderControlId = kIdcDownloadFolder;
    job.progressControlId = kIdcDownloadProgress;
    job.progressBarControlId = kIdcDownloadProgressBar;
    job.url = &url;
    job.targetPath = &target;
  }
  void notify(std::uint32_t status) { downloadStatusCallback(7, &job, status, nullptr, 0); }

  std::string url = "http://user:pw@files.example.test:8080/pub/kestrova.cab";
  std::string target = joinPath(joinPath("", "downloads"), "kestrova.cab");
  test::FakeNotifyWindow window;
  DownloadJob job;
};

TEST_F(DownloadStatusTest, ConnectionStepsHaveTheirTexts) {
  for (std::uint32_t status : {10u, 11u, 20u, 21u, 50u, 51u, 110u}) notify(status);
  EXPECT_EQ(window.texts(kIdcDownloadStatus),
            (std::vector<std::string>{"Resolving Name ...", "Name resolved.", "Connecting ...",
                                      "Connected.", "Closing Connection ...", "Connection closed.",
                                      "Redirecting..."}));
}

TEST_F(DownloadStatusTest, QuietStepsWriteNothing) {
  for (std::uint32_t status : {30u, 31u, 40u, 100u, 120u, 200u}) notify(status);
  EXPECT_TRUE(window.events.empty());
}

TEST_F(DownloadStatusTest, OtherStatusesAreUnknown) {
  notify(42);
  EXPECT_EQ(window.texts(kIdcDownloadStatus), std::vector<std::string>{"Unknown Status 42 Given"});
}

TEST_F(DownloadStatusTest, NewHandleResetsTheBarAndNamesSourceAndFolder) {
  notify(kInternetStatusHandleCreated);
  EXPECT_EQ(window.events, (std::vector<std::string>{
                               "bar 1032 0", "text 1064 kestrova.cab from files.example.test:8080",
                               "text 1065 " + joinPath("", "downloads")}));
}

TEST_F(DownloadStatusTest, ResponseShowsDownloadingAfterTheProgressLine) {
  job.expectedSize = 2048;
  notify(kInternetStatusResponseReceived);
  EXPECT_EQ(window.events,
            (std::vector<std::string>{"text 1067 0 KB of 2 KB received (0%) - 0.00 KB/s",
                                      "bar 1032 0", "text 1042 Downloading ..."}));
  EXPECT_NE(job.startTime, 0);
}

// Each received block moves the bar by the share of the expected size, and a
// queued package's overall line follows.
TEST_F(DownloadStatusTest, ABlockMovesTheBarAndTheOverallLine) {
  const QueueProgress queue{2, 3, 1024, 8192, 2048};
  job.queue = &queue;
  job.queueControlId = kIdcQueueProgress;
  job.expectedSize = 4096;
  job.receivedBytes = 3072;
  job.startTime = 1;
  notify(kInternetStatusResponseReceived);
  EXPECT_EQ(window.texts(kIdcQueueProgress),
            std::vector<std::string>{"Package 2 of 3 \u2014 4.0 KB of 10.0 KB"});
  EXPECT_EQ(window.events[1], "bar 1032 75");
}

TEST_F(DownloadStatusTest, ResponseAfterTheFirstBlockKeepsTheStartTime) {
  job.expectedSize = 4096;
  job.receivedBytes = 1024;
  job.startTime = 12345;
  notify(kInternetStatusResponseReceived);
  EXPECT_EQ(job.startTime, 12345);
  ASSERT_EQ(window.texts(kIdcDownloadProgress).size(), 1u);
  EXPECT_EQ(window.texts(kIdcDownloadProgress)[0].rfind("1 KB of 4 KB received (25%) - ", 0), 0u);
}

TEST_F(DownloadStatusTest, ClosingWithAllBytesIsSuccessful) {
  job.expectedSize = 2560000;
  job.receivedBytes = 2560000;
  job.startTime = 1;
  job.outcome = DownloadOutcome::Succeeded;
  notify(kInternetStatusHandleClosing);
  EXPECT_EQ(window.texts(kIdcDownloadStatus), std::vector<std::string>{"Download successfull"});
  EXPECT_EQ(window.texts(kIdcDownloadProgress)[0].rfind("2500 KB of 2500 KB received (100%)", 0),
            0u);
}

TEST_F(DownloadStatusTest, ClosingSaysHowTheTransferEndedWhateverTheCounts) {
  job.outcome = DownloadOutcome::Failed;  // nothing expected, nothing received
  notify(kInternetStatusHandleClosing);
  job.outcome = DownloadOutcome::TooSlow;
  notify(kInternetStatusHandleClosing);
  EXPECT_EQ(
      window.texts(kIdcDownloadStatus),
      (std::vector<std::string>{"Download failed.", "Download failed: the server is too slow."}));
}

}  // namespace
}  // namespace ks
