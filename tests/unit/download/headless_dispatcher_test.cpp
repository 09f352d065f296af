// The headless UI thread: work from other threads runs on the thread that
// made the dispatcher, and send() returns only after it ran.

#include "ui/headless/headless_dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace ks {
namespace {

TEST(HeadlessDispatcher, SendRunsOnTheUiThreadAndWaitsForIt) {
  HeadlessDispatcher ui;
  const std::thread::id uiThread = std::this_thread::get_id();
  std::thread::id ranOn;
  bool sawResultAfterSend = false;
  std::atomic<bool> workerDone{false};
  std::thread worker([&] {
    int value = 0;
    ui.send([&] {
      ranOn = std::this_thread::get_id();
      value = 42;
    });
    sawResultAfterSend = value == 42;
    ui.post([&] { workerDone = true; });
  });
  const bool done = ui.runUntil([&] { return workerDone.load(); }, std::chrono::seconds(20));
  worker.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(ranOn, uiThread);
  EXPECT_TRUE(sawResultAfterSend);
}

TEST(HeadlessDispatcher, SendOnTheUiThreadRunsAtOnce) {
  HeadlessDispatcher ui;
  int calls = 0;
  ui.send([&] { ++calls; });
  EXPECT_EQ(calls, 1);
}

TEST(HeadlessDispatcher, PostedWorkRunsInOrder) {
  HeadlessDispatcher ui;
  std::vector<int> order;
  for (int i = 0; i < 3; ++i) ui.post([&order, i] { order.push_back(i); });
  EXPECT_TRUE(ui.runUntil([&] { return order.size() == 3; }, std::chrono::seconds(5)));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(HeadlessDispatcher, RunUntilGivesUpWhenNothingArrives) {
  HeadlessDispatcher ui;
  EXPECT_FALSE(ui.runUntil([] { return false; }, std::chrono::milliseconds(10)));
}

}  // namespace
}  // namespace ks
