#include "ui/headless/headless_page_view.h"

namespace ks {

HeadlessPageView::HeadlessPageView(int templateId, std::vector<std::string>* log)
    : templateId_(templateId), log_(log) {
  const DialogTemplate* dialog = findDialogTemplate(templateId);
  if (!dialog) return;
  for (const ControlTemplate& c : dialog->controls) {
    if (c.id < 0) continue;
    Control& control = controls_[c.id];
    control.kind = c.kind;
    control.text = std::string(c.text);
    control.enabled = !c.disabled;
    control.visible = !c.hidden;
  }
}

HeadlessPageView::Control& HeadlessPageView::control(int controlId) {
  return controls_[controlId];
}

const HeadlessPageView::Control& HeadlessPageView::at(int controlId) const {
  static const Control kMissing;
  auto found = controls_.find(controlId);
  return found == controls_.end() ? kMissing : found->second;
}

void HeadlessPageView::record(int controlId, const std::string& what) {
  if (log_)
    log_->push_back(std::to_string(templateId_) + ":" + std::to_string(controlId) + " " + what);
}

void HeadlessPageView::setText(int controlId, const std::string& text) {
  control(controlId).text = text;
  record(controlId, "text \"" + text + "\"");
}

void HeadlessPageView::enable(int controlId, bool enabled) {
  control(controlId).enabled = enabled;
  record(controlId, enabled ? "enabled" : "disabled");
}

void HeadlessPageView::show(int controlId, bool visible) {
  control(controlId).visible = visible;
  record(controlId, visible ? "shown" : "hidden");
}

void HeadlessPageView::check(int controlId, bool checked) {
  control(controlId).checked = checked;
  record(controlId, checked ? "checked" : "unchecked");
}

void HeadlessPageView::setProgressRange(int controlId, int low, int high) {
  control(controlId).progressLow = low;
  control(controlId).progressHigh = high;
}

void HeadlessPageView::setProgressPosition(int controlId, int position) {
  control(controlId).progressPosition = position;
}

void HeadlessPageView::addComboItem(int controlId, const std::string& text, std::intptr_t data) {
  control(controlId).items.emplace_back(text, data);
}

void HeadlessPageView::selectComboItem(int controlId, int index) {
  Control& combo = control(controlId);
  combo.selected = (index >= 0 && index < static_cast<int>(combo.items.size())) ? index : -1;
}

std::intptr_t HeadlessPageView::comboItemData(int controlId, int index) {
  const Control& combo = control(controlId);
  if (index < 0 || index >= static_cast<int>(combo.items.size())) return -1;
  return combo.items[static_cast<std::size_t>(index)].second;
}

bool HeadlessPageView::userClick(int controlId) {
  auto found = controls_.find(controlId);
  if (found == controls_.end() || !found->second.enabled || !found->second.visible) return false;
  Control& clicked = found->second;
  if (clicked.kind == ControlKind::RadioButton) {
    for (auto& [id, other] : controls_) {
      if (other.kind == ControlKind::RadioButton) other.checked = false;
    }
    clicked.checked = true;
  } else if (clicked.kind == ControlKind::CheckBox) {
    clicked.checked = !clicked.checked;
  }
  record(controlId, "clicked");
  return true;
}

bool HeadlessPageView::userType(int controlId, const std::string& text) {
  auto found = controls_.find(controlId);
  if (found == controls_.end() || !found->second.enabled) return false;
  found->second.text = text;
  record(controlId, "typed \"" + text + "\"");
  return true;
}

bool HeadlessPageView::userSelect(int controlId, int index) {
  auto found = controls_.find(controlId);
  if (found == controls_.end() || !found->second.enabled) return false;
  selectComboItem(controlId, index);
  return found->second.selected == index;
}

}  // namespace ks
