#pragma once
// The last page: says how the work ended; in download-only mode the setup
// program's copy is made when the page is created. Finish ends the setup.

#include <string>

#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kCompletionTemplate = 107;
inline constexpr int kIdcReadyText = 1047;
inline constexpr int kIdcRestartText = 1046;

// The text of 1047: readyText (the template's own) when every component
// succeeded; otherwise the components that failed and that the work is
// incomplete; and a note when the setup could not copy itself beside the
// installation.
std::string completionText(const SetupContext& context, const std::string& readyText);

class CompletionPage final : public WizardPage {
 public:
  explicit CompletionPage(SetupContext& context) : WizardPage(context, kCompletionTemplate) {}
  ActivateAnswer onActivate(Direction direction) override;
  // Cancel closes the wizard at once: the work is done.
  bool onQueryCancel() override { return true; }

 protected:
  void onInit() override;
  PageView::Font titleFont() const override;

 private:
  std::string readyText_;
};

}  // namespace ks
