#include "install/integration_page.h"

#include <string>

#include "app/paths.h"
#include "install/application_icon.h"
#include "install/integration.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/wizard_view.h"

namespace ks {

namespace {

constexpr const char* kCommonProgramsNotWritable =
    "Your account may not write to the program groups of all users (%s).";

}  // namespace

void IntegrationPage::onInit() {
  HeaderPage::onInit();
  view().setIconImage(
      kIdcApplicationIcon,
      applicationIcon(context(), joinPath(state().installDir, kApplicationProgram)));
  if (!context().platform.systemInfo->isWindowsNT()) {
    view().enable(kIdcCommonProgramsNote, false);
    view().enable(kIdcAddToCommonPrograms, false);
  } else if (!context().platform.shell->canWriteTo(SpecialFolder::CommonPrograms)) {
    // The box would do nothing: say why instead.
    view().enable(kIdcAddToCommonPrograms, false);
    view().setToolTip(kIdcAddToCommonPrograms, commonProgramsRefusal());
  }
}

std::string IntegrationPage::commonProgramsRefusal() {
  std::string folder;
  context().platform.shell->specialFolder(SpecialFolder::CommonPrograms, folder);
  std::string text = kCommonProgramsNotWritable;
  return text.replace(text.find("%s"), 2, folder);
}

ActivateAnswer IntegrationPage::onActivate(Direction) {
  if (state().mode == SETUP_MODE_DOWNLOAD_ONLY) return ActivateAnswer::Skip;
  wizard().postButtons(WizardButton::kNext);
  return ActivateAnswer::Show;
}

NextAnswer IntegrationPage::onNext() {
  integrateApplication(context(),
                       {view().isChecked(kIdcAddToDesktop), view().isChecked(kIdcAddToUserPrograms),
                        view().isChecked(kIdcAddToCommonPrograms)});
  return NextAnswer::Proceed;
}

}  // namespace ks
