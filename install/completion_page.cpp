#include "install/completion_page.h"

#include "app/paths.h"
#include "install/completion_copies.h"
#include "platform/file_system.h"
#include "platform/wizard_view.h"

namespace ks {

namespace {

constexpr const char* kNotInstalled = "Setup could not install these components:";
constexpr const char* kNotDownloaded = "Setup could not download these components:";
constexpr const char* kInstallationIncomplete = "The installation is incomplete.";
constexpr const char* kDownloadIncomplete = "The download is incomplete.";
constexpr const char* kNoSetupCopy =
    "Setup could not copy itself into the installation folder, so the application has no "
    "uninstall entry. To remove it later, run Setup with the argument -uninstall.";
constexpr const char* kPackagesSavedIn = "The installation packages were saved in:";
constexpr const char* kPackagesAndSetupSavedIn =
    "The installation packages and a copy of Setup (%s) were saved in:";

// Where a download-only run left its files, and whether the setup copy that
// installs them later is among them.
std::string savedWhere(const SetupContext& context) {
  const SetupState& state = context.state;
  const bool setupCopied =
      context.platform.fileSystem->pathExists(joinPath(state.downloadDir, state.setupFileName));
  std::string text = setupCopied ? kPackagesAndSetupSavedIn : kPackagesSavedIn;
  if (setupCopied) text.replace(text.find("%s"), 2, state.setupFileName);
  return text + "\n    " + state.downloadDir;
}

}  // namespace

// The template's text when everything succeeded; otherwise which components
// failed, and that the setup copy is missing when it is.
std::string completionText(const SetupContext& context, const std::string& readyText) {
  const bool downloadOnly = context.state.mode == SETUP_MODE_DOWNLOAD_ONLY;
  std::string failed;
  for (int i = 0; i < context.installQueueCount; ++i) {
    if (context.installQueueOutcome[static_cast<std::size_t>(i)] == ComponentOutcome::Done)
      continue;
    failed += "\n    " + context.installQueue[static_cast<std::size_t>(i)]->title;
  }
  std::string text = readyText;
  if (!failed.empty()) {
    text = std::string(downloadOnly ? kNotDownloaded : kNotInstalled) + failed + "\n" +
           (downloadOnly ? kDownloadIncomplete : kInstallationIncomplete);
  }
  if (!downloadOnly && context.installation.setupCopy == InstallationRecord::SetupCopy::Failed) {
    text += std::string("\n\n") + kNoSetupCopy;
  }
  if (downloadOnly) text += "\n\n" + savedWhere(context);
  return text;
}

PageView::Font CompletionPage::titleFont() const {
  return sideBandTitleFont();
}

void CompletionPage::onInit() {
  readyText_ = view().text(kIdcReadyText);
  copySetupFiles(context());
}

// The machine is never restarted: the restart text never shows.
ActivateAnswer CompletionPage::onActivate(Direction) {
  view().show(kIdcRestartText, false);
  view().setText(kIdcReadyText, completionText(context(), readyText_));
  view().show(kIdcReadyText, true);
  wizard().postButtons(WizardButton::kBack | WizardButton::kFinish);
  return ActivateAnswer::Show;
}

}  // namespace ks
