#pragma once
// The wizard frame: the pages in their fixed order, page creation on the
// first visit, activation on every visit with skips passed on in the
// direction of travel, posted button requests, the Cancel confirmation and
// the ways the wizard ends.
//
// A window that turns the pages itself (a property sheet) forwards its page
// notifications: initialisePage, activatePage, leavePage, pressNext,
// pressBack, queryCancel, finish. For any other window the frame turns the
// pages: start, next, back, finish, cancel.

#include <memory>
#include <vector>

#include "platform/ui_dispatcher.h"
#include "platform/wizard_view.h"
#include "wizard/logged_page_view.h"
#include "wizard/wizard_page.h"

namespace ks {

class WizardFrame final : public WizardControl {
 public:
  // The frame turns the pages of view.
  WizardFrame(WizardView& view, UiDispatcher& ui, std::vector<std::unique_ptr<WizardPage>> pages);
  // The window turns the pages and forwards its page notifications.
  WizardFrame(WizardWindow& window, UiDispatcher& ui,
              std::vector<std::unique_ptr<WizardPage>> pages);
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

  // The page notifications of a window that turns the pages itself. The
  // pages are numbered from 0 in wizard order.
  int pageCount() const { return static_cast<int>(pages_.size()); }
  int templateIdAt(int index) const;
  // The window made the page (WM_INITDIALOG), before its first activation.
  void initialisePage(int index, PageView& view);
  // The window turns to the page (PSN_SETACTIVE) in the direction of the
  // last Next or Back; on Skip it passes on to the next page that way.
  ActivateAnswer activatePage(int index);
  // The window leaves the page on view (PSN_KILLACTIVE).
  void leavePage();
  // Next (PSN_WIZNEXT): the page's answer. The window moves on only after
  // Proceed; when the page ended the wizard the frame has closed.
  NextAnswer pressNext();
  // Back (PSN_WIZBACK): the window moves back.
  void pressBack();
  // Cancel (PSN_QUERYCANCEL), and any other request to close the window:
  // true when the wizard closes. After the wizard has ended, always true.
  bool queryCancel();

  bool closed() const { return closed_; }
  // The page on view, or null before start and after the end.
  WizardPage* currentPage();

  // WizardControl
  void postButtons(unsigned buttons) override;
  void endWizard() override;
  void centerWindow() override;

 private:
  // Activates pages from index on in the direction of travel until one shows.
  void turnTo(int index);
  void close();

  WizardWindow& window_;
  // The window whose pages the frame turns; null when the window turns them.
  WizardView* pageView_ = nullptr;
  UiDispatcher& ui_;
  std::vector<std::unique_ptr<WizardPage>> pages_;
  std::vector<bool> created_;
  // What each created page's view is, as its page sees it.
  std::vector<std::unique_ptr<LoggedPageView>> views_;
  int current_ = -1;
  Direction direction_ = Direction::Forward;
  bool ending_ = false;
  bool closed_ = false;
  // Button requests may arrive after the frame is gone; they then do nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The position that centres a window of the given size over owner (each
// half taken by an integer division that truncates toward zero).
WindowRect centeredRect(const WindowRect& owner, const WindowRect& window);

}  // namespace ks
