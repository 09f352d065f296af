#pragma once
// A wizard page controller: the page events of the wizard frame. A page talks
// to its view only through PageView, and to the frame only through
// WizardControl.

#include <cstdint>
#include <string>

#include "app/setup_context.h"
#include "platform/dialogs.h"
#include "platform/page_view.h"

namespace ks {

enum class Direction { Forward = 1, Backward = -1 };

// The answer to activation: show the page, or skip it in the direction of travel.
enum class ActivateAnswer { Show, Skip };
// The answer to Next: go on to the next page, or stay here.
enum class NextAnswer { Proceed, Stay };

// Control ids every page shares.
inline constexpr int kIdcTitle = 1043;
inline constexpr int kIdcSubtitle = 1096;
inline constexpr int kIdcSideBand = 1080;
inline constexpr int kIdcHeaderBand = 1111;
inline constexpr int kBitmapSideBand = 110;
inline constexpr int kBitmapHeaderBand = 111;

// What a page may ask of the frame.
class WizardControl {
 public:
  virtual ~WizardControl() = default;
  // Requests the button set; it takes effect after the current handler returns.
  virtual void postButtons(unsigned buttons) = 0;
  // Ends the wizard once the current handler has returned; no further page
  // is activated.
  virtual void endWizard() = 0;
  // Moves the frame to the middle of the owner window.
  virtual void centerWindow() = 0;
};

class WizardPage {
 public:
  WizardPage(SetupContext& context, int templateId) : context_(context), templateId_(templateId) {}
  virtual ~WizardPage() = default;
  WizardPage(const WizardPage&) = delete;
  WizardPage& operator=(const WizardPage&) = delete;

  int templateId() const { return templateId_; }

  // Initialise (once, when the wizard first turns to the page): the title
  // font, then the page's own initialisation.
  void initialise(PageView& view, WizardControl& wizard);
  // Every time the page comes into view.
  virtual ActivateAnswer onActivate(Direction direction) = 0;
  virtual NextAnswer onNext() { return NextAnswer::Proceed; }
  virtual void onCommand(int controlId) { (void)controlId; }
  // A click on a tree item's state image (its tick box).
  virtual void onTreeStateClick(int controlId, std::uintptr_t item) {
    (void)controlId;
    (void)item;
  }
  // The tree's selection moved to item (0: none).
  virtual void onTreeSelection(int controlId, std::uintptr_t item) {
    (void)controlId;
    (void)item;
  }
  // The wizard is moving on to another page.
  virtual void onLeave() {}
  // Paint: the page's bitmap band.
  virtual void onPaint();
  // True when the wizard may close; the shared confirmation by default
  // (a Yes there is the user cancelling the setup).
  virtual bool onQueryCancel();
  // The frame is closing; the page's fonts go with its view.
  virtual void onDestroy() {}

 protected:
  virtual void onInit() {}
  // The title font of this page: bold, height 18 (header pages).
  virtual PageView::Font titleFont() const;
  // The title font of the side-band pages: "Arial", height 22, bold.
  static PageView::Font sideBandTitleFont();

  SetupContext& context() { return context_; }
  SetupState& state() { return context_.state; }
  PageView& view() { return *view_; }
  WizardControl& wizard() { return *wizard_; }
  // A message box owned by the page.
  MessageAnswer ask(const char* text, const char* caption, MessageIcon icon,
                    MessageButtons buttons);
  // The shell's folder dialog ("Select Directory") into field; a cancelled
  // dialog leaves the field as it was. Callers then show the field in its
  // edit control whatever the user did, so cancelling puts the stored value
  // back.
  void browseForFolder(std::string& field);
  // The text of an edit control, whole: a path too long is refused by the
  // page that takes it, never cut.
  std::string editText(int controlId);

 private:
  SetupContext& context_;
  const int templateId_;
  PageView* view_ = nullptr;
  WizardControl* wizard_ = nullptr;
};

// The header pages: black title and subtitle over bitmap 111.
class HeaderPage : public WizardPage {
 public:
  using WizardPage::WizardPage;
  void onPaint() override;

 protected:
  void onInit() override;
};

}  // namespace ks
