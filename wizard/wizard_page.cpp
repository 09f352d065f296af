#include "wizard/wizard_page.h"

#include "app/fixed_text.h"
#include "platform/dialogs.h"

namespace ks {

namespace {

constexpr const char* kQuitQuestion = "Are you sure you want to quit setup?";
constexpr const char* kQuitCaption = "Setup";
constexpr const char* kBrowseTitle = "Select Directory";

constexpr int kBoldWeight = 700;
constexpr int kHeaderTitleHeight = 18;
constexpr int kSideBandTitleHeight = 22;

}  // namespace

void WizardPage::initialise(PageView& view, WizardControl& wizard) {
  view_ = &view;
  wizard_ = &wizard;
  view.setFont(kIdcTitle, titleFont());
  onInit();
}

PageView::Font WizardPage::titleFont() const {
  return {"", kHeaderTitleHeight, kBoldWeight};
}

PageView::Font WizardPage::sideBandTitleFont() {
  return {"Arial", kSideBandTitleHeight, kBoldWeight};
}

void WizardPage::onPaint() {
  view().paintBitmap(kIdcSideBand, kBitmapSideBand);
}

bool WizardPage::onQueryCancel() {
  const bool quit = ask(kQuitQuestion, kQuitCaption, MessageIcon::None, MessageButtons::YesNo) ==
                    MessageAnswer::Yes;
  if (quit) context_.cancelledByUser = true;
  return quit;
}

MessageAnswer WizardPage::ask(const char* text, const char* caption, MessageIcon icon,
                              MessageButtons buttons) {
  return context_.platform.dialogs->messageBox({text, caption, icon, buttons});
}

void WizardPage::browseForFolder(std::string& field) {
  std::string chosen = field;
  if (context_.platform.dialogs->browseForFolder(kBrowseTitle, chosen)) field = chosen;
}

// The whole text: a path is checked where it is taken, never cut.
std::string WizardPage::editText(int controlId) {
  const std::string text = view().text(controlId);
  return fitText(text, text.size() + 1);
}

void HeaderPage::onInit() {
  view().setTextStyle(kIdcTitle, PageView::TextStyle::HeaderText);
  view().setTextStyle(kIdcSubtitle, PageView::TextStyle::HeaderText);
}

void HeaderPage::onPaint() {
  view().paintBitmap(kIdcHeaderBand, kBitmapHeaderBand);
}

}  // namespace ks
