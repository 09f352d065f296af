#pragma once
// The last page: the setup program's copy is made when the page is created;
// Finish ends the setup.

#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kCompletionTemplate = 107;
inline constexpr int kIdcReadyText = 1047;
inline constexpr int kIdcRestartText = 1046;

class CompletionPage final : public WizardPage {
 public:
  explicit CompletionPage(SetupContext& context) : WizardPage(context, kCompletionTemplate) {}
  ActivateAnswer onActivate(Direction direction) override;
  // Cancel closes the wizard at once: the work is done.
  bool onQueryCancel() override { return true; }

 protected:
  void onInit() override;
  PageView::Font titleFont() const override;
};

}  // namespace ks
