// Starting a worker for a page: the transfer runs on a thread of its own,
// the page hears of it only on its own thread, and the next worker can be
// started from the end handler of the previous one.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "tests/support/download_ports.h"
#include "tests/support/fake_download_view.h"
#include "tests/support/fake_internet_api.h"
#include "tests/support/native_file_system.h"
#include "tests/support/temp_dir.h"
#include "ui/headless/headless_dispatcher.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using Events = std::vector<std::string>;

class StartDownloadWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(temp.path());
    component.notifyWindow = &page;
    component.download = 1;
    component.urls[0] = "http://first.test/a.cab";
    component.urls[1] = "http://second.test/a.cab";
    component.localPath = (folder / "a.cab").string();
  }

  // Runs the page's thread until the page has handled `count` messages.
  bool pageHears(std::size_t count) {
    return ui.runUntil([&] { return messages.size() >= count; }, std::chrono::seconds(20));
  }

  // Waits (without handling anything for the page) until no more than
  // `count` worker threads run.
  static bool workersDownTo(int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (runningDownloadWorkers() > count && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return runningDownloadWorkers() <= count;
  }

  std::string stored() const {
    std::ifstream in(component.localPath, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  test::TempDir temp;
  fs::path folder;
  HeadlessDispatcher ui;
  test::FakeDownloadView view;
  SetupState state;
  test::FakeInternetApi api;
  test::NativeFileSystem files;
  Component component;
  Events messages;
  std::vector<std::thread::id> handledOn;
  std::function<void(unsigned, std::uintptr_t)> onMessage;
  PageNotifyWindow page{ui, view, [this](unsigned message, std::uintptr_t wParam, std::intptr_t) {
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

  ASSERT_TRUE(startDownloadWorker(component, state, test::downloadPorts(api, files)));
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
      restarted = startDownloadWorker(component, state, test::downloadPorts(api, files));
    }
  };

  ASSERT_TRUE(startDownloadWorker(component, state, test::downloadPorts(api, files)));
  ASSERT_TRUE(pageHears(4));
  EXPECT_TRUE(restarted);
  EXPECT_EQ(messages, (Events{"1034 0 url0", "1037 0 url0", "1034 0 url1", "1037 0 url1"}));
  EXPECT_EQ(mostAtOnce, 1);
}

TEST_F(StartDownloadWorker, NothingToFetchStillReportsTheEndThroughThePage) {
  component.download = 0;
  ASSERT_TRUE(startDownloadWorker(component, state, test::downloadPorts(api, files)));
  ASSERT_TRUE(pageHears(1));
  EXPECT_EQ(messages, Events{"1037 1 url0"});
  EXPECT_TRUE(api.calls.empty());
}

// A client whose reads wait until the test opens the gate; the page's
// thread is woken when the first one does.
class GatedInternetApi : public test::FakeInternetApi {
 public:
  explicit GatedInternetApi(UiDispatcher& ui) : ui_(ui) {}
  bool readFile(InternetHandle data, char* buffer, std::uint32_t wanted,
                std::uint32_t& got) override {
    if (!atGate.exchange(true)) ui_.post([] {});
    gate.wait();
    return FakeInternetApi::readFile(data, buffer, wanted, got);
  }
  std::atomic<bool> atGate{false};
  std::shared_future<void> gate;

 private:
  UiDispatcher& ui_;
};

// The user cancels the setup while a package is being fetched: the page goes
// and the catalog is released under the running transfer, and the page's
// thread handles nothing more. The worker still ends by itself, having
// touched none of it, and the file it was fetching is complete.
TEST_F(StartDownloadWorker, TheTransferOutlivesItsPageAndItsComponent) {
  GatedInternetApi gated(ui);
  std::promise<void> open;
  gated.gate = open.get_future().share();
  gated.script.body = std::string(5000, 'g');
  gated.script.contentLength = "5000";
  state.useProxy = 1;
  state.proxyServer = "proxy.test:3128";
  int handled = 0;
  auto window = std::make_shared<PageNotifyWindow>(
      ui, view, [&](unsigned, std::uintptr_t, std::intptr_t) { ++handled; });
  auto released = std::make_unique<Component>(component);
  released->notifyWindow = window.get();
  released->statusCallback = downloadStatusCallback;
  const std::string target = released->localPath;
  ASSERT_TRUE(workersDownTo(0));

  ASSERT_TRUE(startDownloadWorker(*released, state, test::downloadPorts(gated, files)));
  EXPECT_EQ(runningDownloadWorkers(), 1);
  ASSERT_TRUE(ui.runUntil([&] { return gated.atGate.load(); }, std::chrono::seconds(20)));
  const std::weak_ptr<PageNotifyWindow> page = window;
  window->close();
  window.reset();
  released.reset();
  state.proxyServer = "changed.test:1";
  EXPECT_FALSE(page.expired()) << "the worker keeps the page's window";
  open.set_value();

  EXPECT_TRUE(workersDownTo(0)) << "the worker ends without the page's thread";
  EXPECT_TRUE(page.expired());
  EXPECT_EQ(handled, 1) << "only WM_DOWNLOAD_BEGIN, before the page went";
  EXPECT_EQ(gated.calls[2], "open Kestrova Setup proxy proxy.test:3128");
  std::ifstream in(target, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), gated.script.body);
}

// The run ends normally when no transfer is left; with one still running it
// ends the process at once with the run's exit code.
TEST_F(StartDownloadWorker, TheRunEndsAtOnceOnlyWhileATransferIsLeft) {
  ASSERT_TRUE(workersDownTo(0));
  EXPECT_EQ(exitCodeLeavingDownloads(5), 5);

  GatedInternetApi gated(ui);
  std::promise<void> open;
  gated.gate = open.get_future().share();
  gated.script.body = "abc";
  gated.script.contentLength = "3";
  ASSERT_TRUE(startDownloadWorker(component, state, test::downloadPorts(gated, files)));
  ASSERT_TRUE(ui.runUntil([&] { return gated.atGate.load(); }, std::chrono::seconds(20)));
  EXPECT_EXIT(exitCodeLeavingDownloads(3), ::testing::ExitedWithCode(3), "");
  open.set_value();
  EXPECT_TRUE(pageHears(2));
}

}  // namespace
}  // namespace ks
