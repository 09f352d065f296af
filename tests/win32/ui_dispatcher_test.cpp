// The message-queue user-interface thread: a worker's send() waits until the
// UI thread ran the work; posted work runs in order, on the UI thread.

#include <gtest/gtest.h>

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <prsht.h>
// clang-format on

#include <chrono>
#include <thread>
#include <vector>

#include "platform/win32/win32_ui_dispatcher.h"
#include "platform/wizard_view.h"

namespace ks {
namespace {

using namespace std::chrono_literals;

TEST(Win32UiDispatcher, AWorkersSendRunsOnTheUiThreadAndWaitsForIt) {
  Win32UiDispatcher ui;
  const auto uiThread = std::this_thread::get_id();
  std::vector<std::string> events;
  bool workerDone = false;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
      ui.send([&, i] {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        events.push_back("send " + std::to_string(i));
      });
    }
    ui.post([&] { workerDone = true; });
  });
  EXPECT_TRUE(ui.runUntil([&] { return workerDone; }, 20s));
  worker.join();
  ASSERT_EQ(events.size(), 100u);
  EXPECT_EQ(events.back(), "send 99");
}

TEST(Win32UiDispatcher, PostedWorkRunsInOrderAndMayPostMore) {
  Win32UiDispatcher ui;
  std::string order;
  ui.post([&] {
    order += "a";
    ui.post([&] { order += "c"; });
  });
  ui.post([&] { order += "b"; });
  ui.send([&] { order += "0"; });  // on the UI thread: at once
  EXPECT_EQ(order, "0");
  ui.runPending();
  EXPECT_EQ(order, "0abc");
  EXPECT_FALSE(ui.runUntil([] { return false; }, 10ms));
}

// The core's button names live beside the property sheet's macros.
static_assert(WizardButton::kBack == PSWIZB_BACK);
static_assert(WizardButton::kNext == PSWIZB_NEXT);
static_assert(WizardButton::kFinish == PSWIZB_FINISH);

}  // namespace
}  // namespace ks
