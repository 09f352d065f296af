#include "install/integration_page.h"

#include "app/paths.h"
#include "install/application_icon.h"
#include "install/integration.h"
#include "platform/system_info.h"
#include "platform/wizard_view.h"

namespace ks {

void IntegrationPage::onInit() {
  HeaderPage::onInit();
  view().setIconImage(
      kIdcApplicationIcon,
      applicationIcon(context(), joinPath(state().installDir, kApplicationProgram)));
  if (!context().platform.systemInfo->isWindowsNT()) {
    view().enable(kIdcCommonProgramsNote, false);
    view().enable(kIdcAddToCommonPrograms, false);
  }
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
