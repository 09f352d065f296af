// Starting a worker for a page: the transfer runs on a thread of its own,
// the page hears of it only on its own thread, and the next worker can be
// started from the end handler of the previous one.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "tests/support/fake_download_view.h"
#include "tests/support/fake_internet_api.h"
#include "ui/headless/headless_dispatcher.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using Events = std::vector<std::string>;

class StartDownloadWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("ks-dl-start-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
    component.notifyWindow = &page;
    component.download = 1;
    component.urls[0] = "http://first.test/a.cab";
    component.urls[1] = "http://second.test/a.cab";
    component.localPath = (folder / "a.cab").string();
  }
  void TearDown() override { fs::remove_all(folder); }

  // Runs the page's thread until the page has handled `count` messages.
  bool pageHears(std::size_t count) {
    return ui.runUntil([&] { return messages.size() >= count; }, std::chrono::seconds(20));
  }

  std::string stored() const {
    std::ifstream in(component.localPath, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  fs::path folder;
  HeadlessDispatcher ui;
  test::FakeDownloadView view;
  SetupState state;
  test::FakeInternetApi api;
  Component component;
  Events messages;
  std::vector<std::thread::id> handledOn;
  std::function<void(unsigned, std::uintptr_t)> onMessage;
  PageNotifyWindow page{ui, view, [this](unsigned message, std::uintptr_t wParam) {
                          messages.push_back(std::to_string(message) + " " +
                                             std::to_string(wParam) + " url" +
                                             std::to_string(component.urlIndex));
                          handledOn.push_back(std::this_thread::get_id());
                          if (onMessage) onMessage(message, wParam);
                        }};
};

TEST_F(StartDownloadWorker, ReturnsAtOnceAndThePageHearsTheTransferOnItsOwnThread) {
  api.script.body = std::string(2500, 'p');
  api.script.contentLength = "2500";
  component.statusCallback = downloadStatusCallback;

  ASSERT_TRUE(startDownloadWorker(component, state, api));
  // The worker waits for this thread before the page hears anything.
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(view.textLog.empty());

  ASSERT_TRUE(pageHears(2));
  EXPECT_EQ(messages, (Events{"1034 0 url0", "1037 1 url0"}));
  const std::thread::id pageThread = std::this_thread::get_id();
  EXPECT_TRUE(std::all_of(handledOn.begin(), handledOn.end(),
                          [&](std::thread::id id) { return id == pageThread; }));
  EXPECT_EQ(view.texts[kIdcDownloadStatus], "Download successfull");
  EXPECT_EQ(view.texts[kIdcDownloadProgress].rfind("2 KB of 2 KB received (100%)", 0), 0u);
  EXPECT_EQ(stored(), api.script.body);
}

TEST_F(StartDownloadWorker, NextSiteStartsFromTheEndHandlerWithOneTransferAtATime) {
  // No Content-Length: every transfer fails, so the page tries the next site.
  int running = 0;
  int mostAtOnce = 0;
  bool restarted = false;
  onMessage = [&](unsigned message, std::uintptr_t) {
    running += message == WM_DOWNLOAD_BEGIN ? 1 : -1;
    mostAtOnce = std::max(mostAtOnce, running);
    if (message == WM_DOWNLOAD_END && component.urlIndex == 0) {
      component.urlIndex = 1;
      restarted = startDownloadWorker(component, state, api);
    }
  };

  ASSERT_TRUE(startDownloadWorker(component, state, api));
  ASSERT_TRUE(pageHears(4));
  EXPECT_TRUE(restarted);
  EXPECT_EQ(messages, (Events{"1034 0 url0", "1037 0 url0", "1034 0 url1", "1037 0 url1"}));
  EXPECT_EQ(mostAtOnce, 1);
}

TEST_F(StartDownloadWorker, NothingToFetchStillReportsTheEndThroughThePage) {
  component.download = 0;
  ASSERT_TRUE(startDownloadWorker(component, state, api));
  ASSERT_TRUE(pageHears(1));
  EXPECT_EQ(messages, Events{"1037 1 url0"});
  EXPECT_TRUE(api.calls.empty());
}

}  // namespace
}  // namespace ks
