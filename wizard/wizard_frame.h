#pragma once
// The wizard frame: the pages in their fixed order, page creation on the
// first visit, activation on every visit with skips passed on in the
// direction of travel, posted button requests, the Cancel confirmation and
// the ways the wizard ends.

#include <memory>
#include <vector>

#include "platform/ui_dispatcher.h"
#include "platform/wizard_view.h"
#include "wizard/logged_page_view.h"
#include "wizard/wizard_page.h"

namespace ks {

class WizardFrame final : public WizardControl {
 public:
  WizardFrame(WizardView& view, UiDispatcher& ui, std::vector<std::unique_ptr<WizardPage>> pages);
  ~WizardFrame() override;

  // Turns to the first page.
  void start();
  // The user's buttons.
  void next();
  void back();
  void finish();
  void cancel();
  // A click or change in a control of the current page.
  void command(int controlId);
  void treeStateClick(int controlId, std::uintptr_t item);
  void treeSelection(int controlId, std::uintptr_t item);
  void paint();

  bool closed() const { return closed_; }
  // The page on view, or null before start and after the end.
  WizardPage* currentPage();

  // WizardControl
  void postButtons(unsigned buttons) override;
  void endWizard() override;
  void centerWindow() override;

 private:
  // Activates pages from index on in the direction of travel until one shows.
  void turnTo(int index, Direction direction);
  void close();

  WizardView& view_;
  UiDispatcher& ui_;
  std::vector<std::unique_ptr<WizardPage>> pages_;
  std::vector<bool> created_;
  // What each created page's view is, as its page sees it.
  std::vector<std::unique_ptr<LoggedPageView>> views_;
  int current_ = -1;
  bool ending_ = false;
  bool closed_ = false;
  // Button requests may arrive after the frame is gone; they then do nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The position that centres a window of the given size over owner (each
// half taken by an integer division that truncates toward zero).
WindowRect centeredRect(const WindowRect& owner, const WindowRect& window);

}  // namespace ks
