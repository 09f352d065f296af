#pragma once
// The wizard frame without a window: it keeps the pages it created, the page
// on view, the buttons, and whether the wizard has closed.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/wizard_view.h"
#include "ui/headless/headless_page_view.h"

namespace ks {

class HeadlessWizardView final : public WizardView {
 public:
  PageView& createPage(int templateId) override;
  void showPage(int templateId) override;
  void setButtons(unsigned buttons) override;
  WindowRect ownerRect() override { return owner; }
  WindowRect frameRect() override { return frame; }
  void moveFrame(int left, int top) override;
  void close() override;
  void postQuitRequest() override { ++quitRequests; }

  // The page created for a template; null when the wizard never turned to it.
  HeadlessPageView* page(int templateId);
  HeadlessPageView* currentPage() { return page(shownPage); }
  // "template:control" for every control id a page's controller addressed
  // that its template does not have.
  std::vector<std::string> rejectedControls() const;
  // The order in which pages came into view.
  std::vector<int> shownHistory;

  int shownPage = 0;
  unsigned buttons = 0;
  bool closed = false;
  int quitRequests = 0;
  WindowRect owner{0, 0, 1024, 768};
  WindowRect frame{0, 0, 500, 360};
  // Every change of every page and of the frame, in order.
  std::vector<std::string> log;
  // Told when a page comes into view, and of every text a page writes.
  std::function<void(int templateId)> onShow;
  HeadlessPageView::TextObserver onText;

 private:
  std::map<int, std::unique_ptr<HeadlessPageView>> pages_;
};

}  // namespace ks
