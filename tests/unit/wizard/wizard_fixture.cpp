#include "tests/unit/wizard/wizard_fixture.h"

#include "tests/support/native_path.h"
#include "wizard/download_location_page.h"
#include "wizard/folder_pages.h"
#include "wizard/setup_options_page.h"

namespace ks::test {

ActivateAnswer StandInPage::onActivate(Direction) {
  ++activations;
  if (skip_()) return ActivateAnswer::Skip;
  wizard().postButtons(buttons_);
  return ActivateAnswer::Show;
}

WizardTest::WizardTest() {
  context.platform = fakes.ports();
  context.platform.dialogs = &dialogs;
  context.state.setupPath = test::nativePath("/home/user/dl/setup.exe");
  context.state.setupDir = test::nativePath("/home/user/dl");
  context.state.setupFileName = "setup.exe";
}

// A controller that addresses a control its template lacks fails every test.
WizardTest::~WizardTest() {
  EXPECT_EQ(view.rejectedControls(), std::vector<std::string>{});
}

void WizardTest::startWizard() {
  SetupState& s = context.state;
  auto standInFor = [&](int id, std::function<bool()> skip, unsigned buttons) {
    auto page = std::make_unique<StandInPage>(context, id, std::move(skip), buttons);
    standIns[id] = page.get();
    return page;
  };
  std::vector<std::unique_ptr<WizardPage>> pages;
  pages.push_back(std::make_unique<SetupOptionsPage>(context));
  pages.push_back(std::make_unique<LocalArchivePage>(context));
  pages.push_back(standInFor(
      1084, [] { return false; }, WizardButton::kBack | WizardButton::kNext));
  pages.push_back(std::make_unique<DestinationFoldersPage>(context));
  pages.push_back(std::make_unique<DownloadLocationPage>(context));
  pages.push_back(standInFor(
      105, [] { return false; }, WizardButton::kBack | WizardButton::kNext));
  pages.push_back(standInFor(
      106, [&s] { return s.mode == SETUP_MODE_DOWNLOAD_ONLY; }, WizardButton::kNext));
  pages.push_back(standInFor(
      107, [] { return false; }, WizardButton::kBack | WizardButton::kFinish));
  standIns[107]->cancelWithoutQuestion = true;
  frame = std::make_unique<WizardFrame>(view, ui, std::move(pages));
  frame->start();
  drain();
}

void WizardTest::drain() {
  ui.runPending();
}

void WizardTest::next() {
  frame->next();
  drain();
}

void WizardTest::back() {
  frame->back();
  drain();
}

void WizardTest::cancel() {
  frame->cancel();
  drain();
}

void WizardTest::click(int controlId) {
  ASSERT_TRUE(view.currentPage()->userClick(controlId)) << "control " << controlId;
  frame->command(controlId);
  drain();
}

void WizardTest::type(int controlId, const std::string& text) {
  ASSERT_TRUE(view.currentPage()->userType(controlId, text)) << "control " << controlId;
}

HeadlessPageView& WizardTest::page(int templateId) {
  HeadlessPageView* found = view.page(templateId);
  EXPECT_NE(found, nullptr) << "page " << templateId << " was never created";
  static HeadlessPageView missing(0);
  return found ? *found : missing;
}

void WizardTest::expectDialogsDone() {
  EXPECT_TRUE(dialogs.failures.empty()) << dialogs.failures.front();
  EXPECT_TRUE(dialogs.scriptDone());
}

}  // namespace ks::test
