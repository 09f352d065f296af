// The worker's message protocol and the job it builds from a component.

#include "download/download_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/download_status.h"
#include "tests/support/download_ports.h"
#include "tests/support/fake_download_view.h"
#include "tests/support/fake_internet_api.h"
#include "tests/support/fake_notify_window.h"
#include "tests/support/native_file_system.h"
#include "ui/headless/headless_dispatcher.h"

namespace ks {
namespace {

using Events = std::vector<std::string>;

class DownloadWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    component.notifyWindow = &window;
    component.download = 1;
    component.urls[0] = "http://first.test/a.cab";
    component.urls[1] = "http://second.test/a.cab";
    component.localPath = "/nonexistent-folder/a.cab";
  }
  Component component;
  SetupState state;
  test::FakeInternetApi api;
  test::NativeFileSystem files;
  test::FakeNotifyWindow window;
};

TEST_F(DownloadWorkerTest, GonePageHearsNothing) {
  window.open = false;
  downloadWorker(component, state, test::downloadPorts(api, files));
  EXPECT_TRUE(window.events.empty());
  EXPECT_TRUE(api.calls.empty());
}

TEST_F(DownloadWorkerTest, NothingToFetchEndsSuccessfullyWithoutBegin) {
  component.download = 0;
  downloadWorker(component, state, test::downloadPorts(api, files));
  EXPECT_EQ(window.events, Events{"message 1037 1"});
  EXPECT_TRUE(api.calls.empty());
}

TEST_F(DownloadWorkerTest, FailedTransferSendsBeginThenEndWithZero) {
  downloadWorker(component, state, test::downloadPorts(api, files));  // no Content-Length scripted
  EXPECT_EQ(window.events, (Events{"message 1034 0", "message 1037 0"}));
}

TEST_F(DownloadWorkerTest, UsesTheUrlOfTheCurrentSite) {
  component.urlIndex = 1;
  downloadWorker(component, state, test::downloadPorts(api, files));
  EXPECT_EQ(api.calls.front(), "crackUrl http://second.test/a.cab");
}

TEST_F(DownloadWorkerTest, UrlIndexOutsideTheTableFails) {
  component.urlIndex = kMaxUrls;
  downloadWorker(component, state, test::downloadPorts(api, files));
  EXPECT_EQ(window.events.back(), "message 1037 0");
}

TEST_F(DownloadWorkerTest, ProxyIsUsedOnlyWhenSwitchedOn) {
  state.proxyServer = "proxy.test:3128";
  downloadWorker(component, state, test::downloadPorts(api, files));
  EXPECT_EQ(api.calls[2], "open Kestrova Setup preconfig");
  state.useProxy = 1;
  test::FakeInternetApi second;
  downloadWorker(component, state, test::downloadPorts(second, files));
  EXPECT_EQ(second.calls[2], "open Kestrova Setup proxy proxy.test:3128");
}

TEST_F(DownloadWorkerTest, StatusCallbackOfTheComponentShowsTexts) {
  downloadWorker(component, state, test::downloadPorts(api, files));
  EXPECT_TRUE(window.texts(kIdcDownloadStatus).empty());
  component.statusCallback = downloadStatusCallback;
  test::FakeInternetApi second;
  downloadWorker(component, state, test::downloadPorts(second, files));
  EXPECT_FALSE(window.texts(kIdcDownloadStatus).empty());
}

// A page on a UI thread: the worker runs on its own thread and reaches the
// page only through the dispatcher; the next worker starts from the end
// handler of the previous one.
TEST(DownloadWorkerThreads, WorkersInSequenceDeliverBeginAndEndInOrder) {
  HeadlessDispatcher ui;
  test::FakeDownloadView view;
  SetupState state;
  test::FakeInternetApi api;  // each transfer fails: no Content-Length
  test::NativeFileSystem files;
  Component component;
  Events messages;
  int running = 0;
  int mostAtOnce = 0;
  std::vector<std::thread> workers;
  const Platform ports = test::downloadPorts(api, files);
  auto startWorker = [&] {
    workers.emplace_back(downloadWorker, std::ref(component), std::cref(state), std::cref(ports));
  };
  PageNotifyWindow page(ui, view, [&](unsigned message, std::uintptr_t wParam, std::intptr_t) {
    messages.push_back(std::to_string(message) + " " + std::to_string(wParam) + " url" +
                       std::to_string(component.urlIndex));
    running += message == WM_DOWNLOAD_BEGIN ? 1 : -1;
    mostAtOnce = std::max(mostAtOnce, running);
    if (message == WM_DOWNLOAD_END && component.urlIndex == 0) {
      component.urlIndex = 1;
      startWorker();
    }
  });
  component.notifyWindow = &page;
  component.download = 1;
  component.urls[0] = "http://first.test/a.cab";
  component.urls[1] = "http://second.test/a.cab";
  startWorker();
  const bool finished = ui.runUntil([&] { return messages.size() == 4; }, std::chrono::seconds(20));
  for (std::thread& worker : workers) worker.join();
  ASSERT_TRUE(finished);
  EXPECT_EQ(messages, (Events{"1034 0 url0", "1037 0 url0", "1034 0 url1", "1037 0 url1"}));
  EXPECT_EQ(mostAtOnce, 1);
}

TEST(DownloadWorkerThreads, ClosedPageDropsTextsAndMessages) {
  HeadlessDispatcher ui;
  test::FakeDownloadView view;
  int handled = 0;
  PageNotifyWindow page(ui, view, [&](unsigned, std::uintptr_t, std::intptr_t) { ++handled; });
  page.close();
  EXPECT_FALSE(page.isWindow());
  // Called from a worker, none of these waits for the page's thread, which
  // is not handling anything here.
  std::thread worker([&] {
    page.sendMessage(WM_DOWNLOAD_END, 1, 0);
    page.setDlgItemText(kIdcDownloadStatus, "Connected.");
    page.setProgressPosition(kIdcDownloadProgressBar, 0);
  });
  worker.join();
  EXPECT_EQ(handled, 0);
  EXPECT_TRUE(view.textLog.empty());
}

// A page's thread that handles queued work only when the test says so.
class HeldDispatcher final : public UiDispatcher {
 public:
  void send(const std::function<void()>& fn) override {
    bool ran = false;
    post([&] { fn(), ran = true; });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ran; });
  }
  void post(std::function<void()> fn) override {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(fn));
    changed_.notify_all();
  }
  void waitForWork() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !queue_.empty(); });
  }
  void runQueued() {
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
      auto fn = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      fn();
      lock.lock();
    }
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> queue_;
};

// The user quits while a worker's text is on its way to the page: the page
// goes, and the worker no longer waits for a thread that will handle nothing
// more (the run ends and waits for its workers).
TEST(DownloadWorkerThreads, ClosingThePageReleasesACallThatWaitsForIt) {
  HeldDispatcher ui;
  test::FakeDownloadView view;
  PageNotifyWindow page(ui, view, [](unsigned, std::uintptr_t, std::intptr_t) {});
  std::promise<void> returned;
  std::thread worker([&] {
    page.setDlgItemText(kIdcDownloadStatus, "Closing Connection ...");
    returned.set_value();
  });
  ui.waitForWork();
  page.close();
  const bool released =
      returned.get_future().wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  ui.runQueued();  // what was queued finds the page closed
  worker.join();
  EXPECT_TRUE(released);
  EXPECT_TRUE(view.textLog.empty());
}

}  // namespace
}  // namespace ks
