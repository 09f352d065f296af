// The wizard frame: page order per mode, skips in the direction of travel,
// posted buttons, Cancel, and how the wizard ends.

#include "app/uninstall.h"
#include "tests/support/native_path.h"
#include "tests/unit/wizard/wizard_fixture.h"
#include "wizard/setup_options_page.h"

namespace ks::test {
namespace {

constexpr const char* kQuit = "Are you sure you want to quit setup?";

class WizardFrameTest : public WizardTest {
 protected:
  // Chooses a mode on the first page and walks forward to the last page.
  std::vector<int> walkForward(int option) {
    startWizard();
    click(option);
    for (int i = 0; i < 10 && shown() != 107; ++i) {
      if (shown() == 153) type(1003, test::nativePath("/pkgs"));
      next();
    }
    return view.shownHistory;
  }
  void prepareFolders() {
    fakes.fileSystem.folders = {test::nativePath("/pkgs"), test::nativePath("/home/user/dl"),
                                test::nativePath("/home/user/.local/opt/Kestrova"),
                                test::nativePath("/home/user/Kestrova Setup")};
    context.state.installDir = test::nativePath("/home/user/.local/opt/Kestrova");
  }
};

TEST_F(WizardFrameTest, InternetModeSkipsTheLocalArchivePageBothWays) {
  prepareFolders();
  EXPECT_EQ(walkForward(kIdcOptionInternet),
            (std::vector<int>{102, 1084, 104, 147, 105, 106, 107}));
  EXPECT_EQ(context.state.mode, SETUP_MODE_INTERNET);
  view.shownHistory.clear();
  for (int i = 0; i < 6; ++i) back();
  EXPECT_EQ(view.shownHistory, (std::vector<int>{106, 105, 147, 104, 1084, 102}));
}

TEST_F(WizardFrameTest, LocalModeShowsTheArchivePageAndSkipsTheSites) {
  prepareFolders();
  EXPECT_EQ(walkForward(kIdcOptionLocal), (std::vector<int>{102, 153, 1084, 104, 105, 106, 107}));
  // The skipped page 147 was created on the way and skipped itself.
  EXPECT_NE(view.page(147), nullptr);
}

TEST_F(WizardFrameTest, DownloadOnlyGoesFromDownloadAndInstallStraightToTheEnd) {
  prepareFolders();
  EXPECT_EQ(walkForward(kIdcOptionDownloadOnly), (std::vector<int>{102, 1084, 104, 147, 105, 107}));
}

TEST_F(WizardFrameTest, PagesInitialiseOnceAndActivateOnEveryVisit) {
  prepareFolders();
  startWizard();
  click(kIdcOptionInternet);
  next();
  back();
  next();
  EXPECT_EQ(standIn(1084).inits, 1);
  EXPECT_EQ(standIn(1084).activations, 2);
}

TEST_F(WizardFrameTest, ButtonRequestsTakeEffectAfterTheHandlerReturns) {
  startWizard();
  EXPECT_EQ(view.buttons, 0u);
  ASSERT_TRUE(view.currentPage()->userClick(kIdcOptionInternet));
  frame->command(kIdcOptionInternet);
  EXPECT_EQ(view.buttons, 0u);  // still queued
  drain();
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kNext));
}

TEST_F(WizardFrameTest, DecliningCancelChangesNothing) {
  prepareFolders();
  startWizard();
  click(kIdcOptionInternet);
  next();
  next();
  ASSERT_EQ(shown(), 104);
  type(1034, test::nativePath("/typed/but/not/stored"));
  const unsigned buttons = view.buttons;
  dialogs.expect("Setup", kQuit, MessageAnswer::No);
  cancel();
  EXPECT_FALSE(frame->closed());
  EXPECT_EQ(shown(), 104);
  EXPECT_EQ(page(104).at(1034).text, test::nativePath("/typed/but/not/stored"));
  EXPECT_EQ(view.buttons, buttons);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::None);
  EXPECT_EQ(dialogs.shown[0].buttons, MessageButtons::YesNo);
  expectDialogsDone();
}

TEST_F(WizardFrameTest, ConfirmedCancelClosesAndEveryCreatedPagePostsItsQuitRequest) {
  prepareFolders();
  startWizard();
  click(kIdcOptionLocal);
  next();
  type(1003, test::nativePath("/pkgs"));
  next();
  ASSERT_EQ(shown(), 1084);
  dialogs.expect("Setup", kQuit, MessageAnswer::Yes);
  cancel();
  EXPECT_TRUE(frame->closed());
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(view.quitRequests, 3);  // 102, 153 and 1084 were created
  expectDialogsDone();
}

TEST_F(WizardFrameTest, CancelOnTheLastPageClosesWithoutAQuestion) {
  prepareFolders();
  walkForward(kIdcOptionInternet);
  cancel();
  EXPECT_TRUE(frame->closed());
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(view.quitRequests, 8);
}

TEST_F(WizardFrameTest, FinishEndsTheWizard) {
  prepareFolders();
  walkForward(kIdcOptionDownloadOnly);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack | WizardButton::kFinish));
  frame->finish();
  EXPECT_TRUE(frame->closed());
  EXPECT_EQ(frame->currentPage(), nullptr);
}

TEST(CenterWindow, HalvesTruncateTowardZero) {
  const WindowRect moved = centeredRect({10, 20, 1025, 769}, {0, 0, 501, 361});
  EXPECT_EQ(moved.left, 10 + 512 - 250);
  EXPECT_EQ(moved.top, 20 + 384 - 180);
  const WindowRect larger = centeredRect({0, 0, 300, 200}, {0, 0, 501, 401});
  EXPECT_EQ(larger.left, 150 - 250);
  EXPECT_EQ(larger.top, 100 - 200);
}

TEST_F(WizardFrameTest, TheFirstPageCentresTheWizard) {
  view.owner = {100, 50, 1000, 700};
  view.frame = {0, 0, 400, 300};
  startWizard();
  EXPECT_EQ(view.frame.left, 100 + 500 - 200);
  EXPECT_EQ(view.frame.top, 50 + 350 - 150);
}

// A property sheet turns the pages itself and asks the frame: the page that
// ended the wizard answers Next with Stay, and the sheet's own Cancel that
// follows closes it without a question.
TEST_F(WizardFrameTest, ASheetIsToldThatTheFirstPageEndedTheWizard) {
  context.state.installDir = test::nativePath("/home/user/.local/opt/Kestrova");
  fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKey);
  fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
  fakes.fileSystem.files[context.state.setupPath] = "the setup program";
  startWizard();
  click(kIdcOptionUninstall);
  dialogs.expect("Uninstall", kUninstallQuestion, MessageAnswer::Yes);
  dialogs.expect("Uninstall", kUninstallSucceeded, MessageAnswer::Ok);
  EXPECT_EQ(frame->pressNext(), NextAnswer::Stay);
  EXPECT_TRUE(frame->closed());
  EXPECT_TRUE(frame->queryCancel());
  expectDialogsDone();
}

}  // namespace
}  // namespace ks::test
