#include "wizard/setup_options_page.h"

#include <array>

#include "app/fixed_text.h"
#include "app/paths.h"
#include "app/uninstall.h"
#include "catalog/version_check.h"
#include "install/package_contents.h"
#include "platform/registry.h"
#include "platform/wizard_view.h"

namespace ks {

namespace {

constexpr std::array<int, 4> kOptions = {kIdcOptionInternet, kIdcOptionLocal,
                                         kIdcOptionDownloadOnly, kIdcOptionUninstall};
constexpr const char* kVersionFormat = "Version: ";
constexpr const char* kInformationText = "Kestrova Active Setup";
// The version text is read into a 32-byte buffer.
constexpr std::size_t kVersionTextBytes = 32;
constexpr int kBoldWeight = 700;

}  // namespace

PageView::Font SetupOptionsPage::titleFont() const {
  return sideBandTitleFont();
}

void SetupOptionsPage::onInit() {
  wizard().centerWindow();
  const PageView::Font optionFont{"", 0, kBoldWeight};
  for (int option : kOptions) view().setFont(option, optionFont);
  view().setFont(kIdcInformationLine, optionFont);
  view().setWhiteBackground();
  view().setTextStyle(kIdcVersionLine, PageView::TextStyle::SideBandText);
  view().setTextStyle(kIdcInformationLine, PageView::TextStyle::SideBandText);
  view().setText(kIdcInformationLine, kInformationText);
  showPreviousFolder();

  const bool registered =
      context().platform.registry->openKey(RegistryRoot::LocalMachine, kUninstallKey);
  view().enable(kIdcOptionUninstall, registered && !state().installDir.empty());

  std::string version;
  getFileVersionString(context(), state().setupPath, version);
  view().setText(kIdcVersionLine, kVersionFormat + fitText(version, kVersionTextBytes));
}

void SetupOptionsPage::showPreviousFolder() {
  view().setText(kIdcPreviousFolder,
                 state().installDir.empty() ? kNotFoundText : state().installDir);
}

bool SetupOptionsPage::anyOptionSelected() {
  for (int option : kOptions) {
    if (view().isChecked(option)) return true;
  }
  return false;
}

ActivateAnswer SetupOptionsPage::onActivate(Direction) {
  wizard().postButtons(anyOptionSelected() ? WizardButton::kNext : 0u);
  state().catalogLoaded = 0;
  return ActivateAnswer::Show;
}

void SetupOptionsPage::onCommand(int controlId) {
  for (int option : kOptions) {
    if (controlId == option && view().isChecked(option)) wizard().postButtons(WizardButton::kNext);
  }
  if (controlId != kIdcBrowsePrevious) return;
  std::string& folder = state().installDir;
  browseForFolder(folder);
  if (!folder.empty() && folder.back() == kPathSeparator) folder.pop_back();
  view().setText(kIdcPreviousFolder, folder);
}

NextAnswer SetupOptionsPage::onNext() {
  state().mode = SETUP_MODE_NONE;
  state().deleteAfterInstall = 0;
  if (view().isChecked(kIdcOptionInternet)) state().mode = SETUP_MODE_INTERNET;
  if (view().isChecked(kIdcOptionLocal)) state().mode = SETUP_MODE_LOCAL;
  if (view().isChecked(kIdcOptionDownloadOnly)) state().mode = SETUP_MODE_DOWNLOAD_ONLY;
  if (view().isChecked(kIdcDeleteAfterInstall)) state().deleteAfterInstall = 1;
  if (!view().isChecked(kIdcOptionUninstall)) return NextAnswer::Proceed;
  uninstallFromPage();
  return NextAnswer::Stay;
}

void SetupOptionsPage::uninstallFromPage() {
  if (ask(kUninstallQuestion, kUninstallCaption, MessageIcon::Warning, MessageButtons::YesNo) !=
      MessageAnswer::Yes) {
    return;
  }
  // After a 0 the failure has been shown already.
  const UninstallResult removal = uninstallApplication(context(), packageContents);
  context().uninstallIncomplete = !uninstallComplete(removal);
  if (removal.result == 1) {
    const std::string closing = uninstallClosingMessage(removal, state().installDir);
    ask(closing.c_str(), kUninstallCaption, MessageIcon::Information, MessageButtons::Ok);
  }
  wizard().endWizard();
}

}  // namespace ks
