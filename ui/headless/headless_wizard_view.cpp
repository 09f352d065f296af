#include "ui/headless/headless_wizard_view.h"

namespace ks {

PageView& HeadlessWizardView::createPage(int templateId) {
  auto& page = pages_[templateId];
  page = std::make_unique<HeadlessPageView>(templateId, &log,
                                            [this](int id, int control, const std::string& text) {
                                              if (onText) onText(id, control, text);
                                            });
  log.push_back("page " + std::to_string(templateId) + " created");
  return *page;
}

void HeadlessWizardView::showPage(int templateId) {
  shownPage = templateId;
  shownHistory.push_back(templateId);
  log.push_back("page " + std::to_string(templateId) + " shown");
  if (onShow) onShow(templateId);
}

void HeadlessWizardView::setButtons(unsigned requested) {
  buttons = requested;
  log.push_back("buttons " + std::to_string(requested));
}

void HeadlessWizardView::moveFrame(int left, int top) {
  frame.left = left;
  frame.top = top;
}

void HeadlessWizardView::close() {
  closed = true;
  log.push_back("wizard closed");
}

HeadlessPageView* HeadlessWizardView::page(int templateId) {
  auto found = pages_.find(templateId);
  return found == pages_.end() ? nullptr : found->second.get();
}

std::vector<std::string> HeadlessWizardView::rejectedControls() const {
  std::vector<std::string> rejected;
  for (const auto& [templateId, page] : pages_) {
    for (int id : page->rejectedControls()) {
      rejected.push_back(std::to_string(templateId) + ":" + std::to_string(id));
    }
  }
  return rejected;
}

}  // namespace ks
