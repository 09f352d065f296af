#pragma once
// A page's view as the frame hands it to the page: every call goes on to
// the frontend's view, and what a run log keeps is written to it on the way
// (app/run_log.h): the status lines and the outcome of each component.

#include <map>
#include <string>

#include "platform/page_view.h"

namespace ks {

class LoggedPageView final : public PageView {
 public:
  explicit LoggedPageView(PageView& view) : view_(view) {}

  // The page's title line as the user reads it ("&&" is "&").
  std::string title();

  void setText(int controlId, const std::string& text) override;
  std::string text(int controlId) override { return view_.text(controlId); }
  void enable(int controlId, bool enabled) override { view_.enable(controlId, enabled); }
  void show(int controlId, bool visible) override { view_.show(controlId, visible); }
  void check(int controlId, bool checked) override { view_.check(controlId, checked); }
  bool isChecked(int controlId) override { return view_.isChecked(controlId); }
  void setProgressRange(int controlId, int low, int high) override {
    view_.setProgressRange(controlId, low, high);
  }
  void setProgressPosition(int controlId, int position) override {
    view_.setProgressPosition(controlId, position);
  }
  void setFont(int controlId, const Font& font) override { view_.setFont(controlId, font); }
  void setTextStyle(int controlId, TextStyle style) override {
    view_.setTextStyle(controlId, style);
  }
  void setWhiteBackground() override { view_.setWhiteBackground(); }
  void paintBitmap(int controlId, int bitmapId) override { view_.paintBitmap(controlId, bitmapId); }
  void addComboItem(int controlId, const std::string& text, std::intptr_t data) override {
    view_.addComboItem(controlId, text, data);
  }
  void selectComboItem(int controlId, int index) override {
    view_.selectComboItem(controlId, index);
  }
  int selectedComboItem(int controlId) override { return view_.selectedComboItem(controlId); }
  std::intptr_t comboItemData(int controlId, int index) override {
    return view_.comboItemData(controlId, index);
  }
  void setTreeStateImages(int controlId, int stateBitmap) override {
    view_.setTreeStateImages(controlId, stateBitmap);
  }
  void clearTree(int controlId) override { view_.clearTree(controlId); }
  std::uintptr_t addTreeItem(int controlId, std::uintptr_t parent, const std::string& text,
                             bool bold, int stateImage) override {
    return view_.addTreeItem(controlId, parent, text, bold, stateImage);
  }
  void expandTreeItem(int controlId, std::uintptr_t item) override {
    view_.expandTreeItem(controlId, item);
  }
  void setTreeItemStateImage(int controlId, std::uintptr_t item, int stateImage) override {
    view_.setTreeItemStateImage(controlId, item, stateImage);
  }
  void setTreeItemColour(int controlId, std::uintptr_t item, ItemColour colour) override {
    view_.setTreeItemColour(controlId, item, colour);
  }
  void setListStateImages(int controlId, int stateBitmap) override {
    view_.setListStateImages(controlId, stateBitmap);
  }
  void clearList(int controlId) override;
  int addListRow(int controlId, const std::string& text, int stateImage) override;
  void setListRowStateImage(int controlId, int row, int stateImage) override;
  void setBoldListRow(int controlId, int row) override { view_.setBoldListRow(controlId, row); }
  void setIconImage(int controlId, const std::vector<std::uint8_t>& iconFile) override {
    view_.setIconImage(controlId, iconFile);
  }
  void setWaitCursor(bool busy) override { view_.setWaitCursor(busy); }
  void setToolTip(int controlId, const std::string& text) override {
    view_.setToolTip(controlId, text);
  }

 private:
  PageView& view_;
  // The rows of the component queue, by position.
  std::map<int, std::string> queueRows_;
};

}  // namespace ks
