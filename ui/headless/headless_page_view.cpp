#include "ui/headless/headless_page_view.h"

namespace ks {

HeadlessPageView::HeadlessPageView(int templateId, std::vector<std::string>* log,
                                   TextObserver observer)
    : templateId_(templateId), log_(log), observer_(std::move(observer)) {
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
  auto found = controls_.find(controlId);
  if (found != controls_.end()) return found->second;
  rejected_.insert(controlId);
  scratch_ = Control{};
  return scratch_;
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
  if (observer_) observer_(templateId_, controlId, text);
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

void HeadlessPageView::setTreeStateImages(int controlId, int stateBitmap) {
  control(controlId).stateBitmap = stateBitmap;
}

void HeadlessPageView::clearTree(int controlId) {
  control(controlId).rows.clear();
  control(controlId).boldRow = -1;
  record(controlId, "cleared");
}

std::uintptr_t HeadlessPageView::addTreeItem(int controlId, std::uintptr_t parent,
                                             const std::string& text, bool bold, int stateImage) {
  Control::Item item;
  item.handle = nextHandle_++;
  item.parent = parent;
  item.text = text;
  item.bold = bold;
  item.stateImage = stateImage;
  control(controlId).rows.push_back(item);
  return item.handle;
}

HeadlessPageView::Control::Item* HeadlessPageView::findItem(int controlId, std::uintptr_t item) {
  for (Control::Item& row : control(controlId).rows) {
    if (row.handle == item) return &row;
  }
  return nullptr;
}

const HeadlessPageView::Control::Item* HeadlessPageView::treeItem(int controlId,
                                                                  std::uintptr_t item) const {
  for (const Control::Item& row : at(controlId).rows) {
    if (row.handle == item) return &row;
  }
  return nullptr;
}

void HeadlessPageView::expandTreeItem(int controlId, std::uintptr_t item) {
  if (Control::Item* found = findItem(controlId, item)) found->expanded = true;
}

void HeadlessPageView::setTreeItemStateImage(int controlId, std::uintptr_t item, int stateImage) {
  if (Control::Item* found = findItem(controlId, item)) found->stateImage = stateImage;
}

void HeadlessPageView::setTreeItemColour(int controlId, std::uintptr_t item, ItemColour colour) {
  if (Control::Item* found = findItem(controlId, item)) found->colour = colour;
}

void HeadlessPageView::setListStateImages(int controlId, int stateBitmap) {
  control(controlId).stateBitmap = stateBitmap;
}

int HeadlessPageView::addListRow(int controlId, const std::string& text, int stateImage) {
  addTreeItem(controlId, 0, text, false, stateImage);
  record(controlId, "row \"" + text + "\"");
  return static_cast<int>(control(controlId).rows.size()) - 1;
}

void HeadlessPageView::setListRowStateImage(int controlId, int row, int stateImage) {
  auto& rows = control(controlId).rows;
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  rows[static_cast<std::size_t>(row)].stateImage = stateImage;
  record(controlId, "row " + std::to_string(row) + " image " + std::to_string(stateImage));
}

void HeadlessPageView::setBoldListRow(int controlId, int row) {
  control(controlId).boldRow = row;
}

void HeadlessPageView::setIconImage(int controlId, const std::vector<std::uint8_t>& iconFile) {
  control(controlId).icon = iconFile;
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
