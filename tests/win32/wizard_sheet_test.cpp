// The property sheet in this process, turned from a second thread as the
// user turns it: pages that skip themselves are passed over in both
// directions, a page that refuses Next keeps the sheet where it is, the
// buttons follow the pages' posted requests, a click on an option reaches
// its page, and a declined Cancel leaves everything as it was. Beside the
// real first page stand pages that only skip, stay and ask for buttons.

#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
// clang-format on

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win32/win32_ui_dispatcher.h"
#include "tests/support/fake_platform.h"
#include "tests/win32/gui/gui_driver.h"
#include "ui/win32/win32_wizard.h"
#include "wizard/setup_options_page.h"

namespace ks {
namespace {

using test::FakeDialogs;
using test::FakePlatform;

constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

// A page that skips itself when told to, asks for its buttons, and refuses
// the first Next when told to.
class StandInPage final : public HeaderPage {
 public:
  StandInPage(SetupContext& context, int templateId, std::function<bool()> skip, unsigned buttons,
              bool refuseFirstNext = false)
      : HeaderPage(context, templateId),
        skip_(std::move(skip)),
        buttons_(buttons),
        refuseNext_(refuseFirstNext) {}
  ActivateAnswer onActivate(Direction) override {
    if (skip_()) return ActivateAnswer::Skip;
    wizard().postButtons(buttons_);
    return ActivateAnswer::Show;
  }
  NextAnswer onNext() override {
    ++nexts;
    return std::exchange(refuseNext_, false) ? NextAnswer::Stay : NextAnswer::Proceed;
  }
  std::atomic<int> nexts{0};

 private:
  std::function<bool()> skip_;
  unsigned buttons_;
  bool refuseNext_;
};

// Message boxes answered from the script, counted where the user's thread
// can see them.
class CountingDialogs final : public FakeDialogs {
 public:
  MessageAnswer messageBox(const MessageBoxRequest& request) override {
    const MessageAnswer answer = FakeDialogs::messageBox(request);
    ++asked;
    return answer;
  }
  std::atomic<int> asked{0};
};

// What the user sees: the page's title and which of Back, Next and Finish
// can be pressed.
std::wstring seen(HWND sheet) {
  const auto page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  const auto on = [&](int id) {
    return gui::controlEnabled(sheet, id) && gui::controlVisible(sheet, id) ? L'1' : L'0';
  };
  return gui::controlText(page, kIdcTitle) + L" " + on(kBackButton) + on(kNextButton) +
         on(kFinishButton);
}

TEST(Win32WizardSheet, DownloadOnlyThereAndBackWithAStayAndADeclinedCancel) {
  FakePlatform fakes;
  Win32UiDispatcher ui;
  SetupContext context;
  context.platform = fakes.ports();
  CountingDialogs dialogs;
  context.platform.ui = &ui;
  context.platform.dialogs = &dialogs;
  dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
  SetupState& s = context.state;
  const auto local = [&s] { return s.mode == SETUP_MODE_LOCAL; };
  const auto never = [] { return false; };
  constexpr unsigned kBackNext = WizardButton::kBack | WizardButton::kNext;
  std::vector<std::unique_ptr<WizardPage>> pages;
  pages.push_back(std::make_unique<SetupOptionsPage>(context));
  pages.push_back(std::make_unique<StandInPage>(
      context, 153, [&s] { return s.mode != SETUP_MODE_LOCAL; }, kBackNext));
  pages.push_back(std::make_unique<StandInPage>(context, 1084, never, kBackNext));
  auto folders = std::make_unique<StandInPage>(context, 104, never, kBackNext, true);
  StandInPage& destination = *folders;
  pages.push_back(std::move(folders));
  pages.push_back(std::make_unique<StandInPage>(context, 147, local, kBackNext));
  pages.push_back(std::make_unique<StandInPage>(context, 105, never, kBackNext));
  pages.push_back(std::make_unique<StandInPage>(
      context, 106, [&s] { return s.mode == SETUP_MODE_DOWNLOAD_ONLY; }, WizardButton::kNext));
  pages.push_back(std::make_unique<StandInPage>(context, 107, never,
                                                WizardButton::kBack | WizardButton::kFinish));
  Win32Wizard wizard(context, std::move(pages), GetModuleHandleW(nullptr));

  // Each step: what the user does, then what the sheet shows once it has
  // settled (or, after a while, whatever it shows then).
  const std::vector<std::wstring> expected = {
      L"Setup Options 000",       L"Setup Options 010",         L"Component Options 110",
      L"Destination Folders 110", L"Destination Folders 110",   L"Dowload Location 110",
      L"Download && Install 110", L"Installation Complete 101", L"Download && Install 110",
      L"Dowload Location 110",    L"Destination Folders 110",   L"Component Options 110",
      L"Setup Options 010",       L"Setup Options 010"};
  std::vector<std::wstring> shown;
  std::thread user([&] {
    const HWND sheet =
        gui::waitForWindow(GetCurrentProcessId(), L"Kestrova Active Setup", kNextButton);
    if (!sheet) return;
    const auto step = [&](const std::function<void()>& action) {
      if (action) action();
      const std::wstring want = expected[shown.size()];
      gui::waitUntil([&] { return seen(sheet) == want; }, 5000);
      shown.push_back(seen(sheet));
    };
    const auto press = [&](int button) {
      return [sheet, button] { PostMessageW(sheet, PSM_PRESSBUTTON, button, 0); };
    };
    step(nullptr);
    step([&] {
      const auto page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
      gui::click(page, kIdcOptionDownloadOnly);
    });
    step(press(PSBTN_NEXT));
    step(press(PSBTN_NEXT));
    step([&] {
      PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
      gui::waitUntil([&] { return destination.nexts == 1; }, 5000);
    });
    for (int i = 0; i < 3; ++i) step(press(PSBTN_NEXT));
    for (int i = 0; i < 5; ++i) step(press(PSBTN_BACK));
    step([&] {
      PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      gui::waitUntil([&] { return dialogs.asked == 1; }, 5000);
    });
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);  // and Yes
  });
  wizard.run();
  user.join();

  EXPECT_EQ(shown, expected);
  EXPECT_EQ(destination.nexts, 2);
  EXPECT_EQ(s.mode, SETUP_MODE_DOWNLOAD_ONLY);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, "Are you sure you want to quit setup?");
  EXPECT_TRUE(wizard.frame().closed());
}

}  // namespace
}  // namespace ks
