#include "wizard/wizard_frame.h"

#include "app/run_log.h"

namespace ks {

WizardFrame::WizardFrame(WizardView& view, UiDispatcher& ui,
                         std::vector<std::unique_ptr<WizardPage>> pages)
    : view_(view),
      ui_(ui),
      pages_(std::move(pages)),
      created_(pages_.size(), false),
      views_(pages_.size()) {}

WizardFrame::~WizardFrame() {
  *alive_ = false;
}

void WizardFrame::start() {
  turnTo(0, Direction::Forward);
}

WizardPage* WizardFrame::currentPage() {
  return (closed_ || current_ < 0) ? nullptr : pages_[static_cast<std::size_t>(current_)].get();
}

void WizardFrame::turnTo(int index, Direction direction) {
  const int count = static_cast<int>(pages_.size());
  if (WizardPage* leaving = currentPage()) leaving->onLeave();
  for (; index >= 0 && index < count; index += static_cast<int>(direction)) {
    WizardPage& page = *pages_[static_cast<std::size_t>(index)];
    const auto at = static_cast<std::size_t>(index);
    if (!created_[at]) {
      created_[at] = true;
      views_[at] = std::make_unique<LoggedPageView>(view_.createPage(page.templateId()));
      page.initialise(*views_[at], *this);
    }
    if (page.onActivate(direction) == ActivateAnswer::Show) {
      current_ = index;
      view_.showPage(page.templateId());
      logLine("Page: " + views_[at]->title());
      return;
    }
  }
  // Every page in that direction skipped itself: the wizard stays where it was.
}

void WizardFrame::next() {
  WizardPage* page = currentPage();
  if (!page) return;
  const NextAnswer answer = page->onNext();
  if (ending_) return close();
  if (answer == NextAnswer::Proceed) turnTo(current_ + 1, Direction::Forward);
}

void WizardFrame::back() {
  if (currentPage()) turnTo(current_ - 1, Direction::Backward);
}

void WizardFrame::finish() {
  if (currentPage()) close();
}

void WizardFrame::cancel() {
  WizardPage* page = currentPage();
  if (!page || !page->onQueryCancel()) return;
  logLine("The user cancelled the setup.");
  close();
}

void WizardFrame::command(int controlId) {
  WizardPage* page = currentPage();
  if (!page) return;
  page->onCommand(controlId);
  if (ending_) close();
}

void WizardFrame::treeStateClick(int controlId, std::uintptr_t item) {
  if (WizardPage* page = currentPage()) page->onTreeStateClick(controlId, item);
}

void WizardFrame::treeSelection(int controlId, std::uintptr_t item) {
  if (WizardPage* page = currentPage()) page->onTreeSelection(controlId, item);
}

void WizardFrame::paint() {
  if (WizardPage* page = currentPage()) page->onPaint();
}

void WizardFrame::postButtons(unsigned buttons) {
  ui_.post([this, buttons, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.lock() && !closed_) view_.setButtons(buttons);
  });
}

void WizardFrame::endWizard() {
  ending_ = true;
}

void WizardFrame::centerWindow() {
  const WindowRect rect = centeredRect(view_.ownerRect(), view_.frameRect());
  view_.moveFrame(rect.left, rect.top);
}

// Every page that was created is destroyed and posts its quit request.
void WizardFrame::close() {
  if (closed_) return;
  closed_ = true;
  view_.close();
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (!created_[i]) continue;
    pages_[i]->onDestroy();
    view_.postQuitRequest();
  }
}

WindowRect centeredRect(const WindowRect& owner, const WindowRect& window) {
  return {owner.left + owner.width / 2 - window.width / 2,
          owner.top + owner.height / 2 - window.height / 2, window.width, window.height};
}

}  // namespace ks
