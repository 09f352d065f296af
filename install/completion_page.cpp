#include "install/completion_page.h"

#include "install/completion_copies.h"
#include "platform/wizard_view.h"

namespace ks {

PageView::Font CompletionPage::titleFont() const {
  return sideBandTitleFont();
}

void CompletionPage::onInit() {
  copySetupFiles(context());
}

// The machine is never restarted: the restart text never shows.
ActivateAnswer CompletionPage::onActivate(Direction) {
  view().show(kIdcRestartText, false);
  view().show(kIdcReadyText, true);
  wizard().postButtons(WizardButton::kBack | WizardButton::kFinish);
  return ActivateAnswer::Show;
}

}  // namespace ks
