#include "wizard/wizard_frame.h"

#include "app/run_log.h"

namespace ks {

WizardFrame::WizardFrame(WizardView& view, UiDispatcher& ui,
                         std::vector<std::unique_ptr<WizardPage>> pages)
    : WizardFrame(static_cast<WizardWindow&>(view), ui, std::move(pages)) {
  pageView_ = &view;
}

WizardFrame::WizardFrame(WizardWindow& window, UiDispatcher& ui,
                         std::vector<std::unique_ptr<WizardPage>> pages)
    : window_(window),
      ui_(ui),
      pages_(std::move(pages)),
      created_(pages_.size(), false),
      views_(pages_.size()) {}

WizardFrame::~WizardFrame() {
  *alive_ = false;
}

int WizardFrame::templateIdAt(int index) const {
  return pages_[static_cast<std::size_t>(index)]->templateId();
}

WizardPage* WizardFrame::currentPage() {
  return (closed_ || current_ < 0) ? nullptr : pages_[static_cast<std::size_t>(current_)].get();
}

// The page sees its view through one that notes in the run log what the
// page shows.
void WizardFrame::initialisePage(int index, PageView& view) {
  const auto at = static_cast<std::size_t>(index);
  created_[at] = true;
  views_[at] = std::make_unique<LoggedPageView>(view);
  pages_[at]->initialise(*views_[at], *this);
}

ActivateAnswer WizardFrame::activatePage(int index) {
  const auto at = static_cast<std::size_t>(index);
  const ActivateAnswer answer = pages_[at]->onActivate(direction_);
  if (answer == ActivateAnswer::Show) {
    current_ = index;
    if (views_[at]) logLine("Page: " + views_[at]->title());
  }
  return answer;
}

void WizardFrame::leavePage() {
  if (WizardPage* leaving = currentPage()) leaving->onLeave();
}

NextAnswer WizardFrame::pressNext() {
  WizardPage* page = currentPage();
  if (!page) return NextAnswer::Stay;
  const NextAnswer answer = page->onNext();
  if (ending_) {
    close();
    return NextAnswer::Stay;
  }
  if (answer == NextAnswer::Proceed) direction_ = Direction::Forward;
  return answer;
}

void WizardFrame::pressBack() {
  direction_ = Direction::Backward;
}

bool WizardFrame::queryCancel() {
  if (closed_) return true;
  WizardPage* page = currentPage();
  if (!page || !page->onQueryCancel()) return false;
  logLine("The user cancelled the setup.");
  close();
  return true;
}

void WizardFrame::start() {
  direction_ = Direction::Forward;
  turnTo(0);
}

void WizardFrame::turnTo(int index) {
  leavePage();
  for (; index >= 0 && index < pageCount(); index += static_cast<int>(direction_)) {
    if (!created_[static_cast<std::size_t>(index)]) {
      initialisePage(index, pageView_->createPage(templateIdAt(index)));
    }
    if (activatePage(index) == ActivateAnswer::Show) {
      pageView_->showPage(templateIdAt(index));
      return;
    }
  }
  // Every page in that direction skipped itself: the wizard stays where it was.
}

void WizardFrame::next() {
  if (pressNext() == NextAnswer::Proceed) turnTo(current_ + 1);
}

void WizardFrame::back() {
  if (!currentPage()) return;
  pressBack();
  turnTo(current_ - 1);
}

void WizardFrame::finish() {
  if (currentPage()) close();
}

void WizardFrame::cancel() {
  queryCancel();
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
    if (alive.lock() && !closed_) window_.setButtons(buttons);
  });
}

void WizardFrame::endWizard() {
  ending_ = true;
}

void WizardFrame::centerWindow() {
  const WindowRect rect = centeredRect(window_.ownerRect(), window_.frameRect());
  window_.moveFrame(rect.left, rect.top);
}

// Every page that was created is destroyed and posts its quit request.
void WizardFrame::close() {
  if (closed_) return;
  closed_ = true;
  window_.close();
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (!created_[i]) continue;
    pages_[i]->onDestroy();
    window_.postQuitRequest();
  }
}

WindowRect centeredRect(const WindowRect& owner, const WindowRect& window) {
  return {owner.left + owner.width / 2 - window.width / 2,
          owner.top + owner.height / 2 - window.height / 2, window.width, window.height};
}

}  // namespace ks
