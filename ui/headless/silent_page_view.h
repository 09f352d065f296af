#pragma once
// A page that nobody sees: every request is accepted and dropped, every
// question gets the empty answer. Views that keep or print only some of what
// a controller shows start from it.

#include "platform/page_view.h"

namespace ks {

class SilentPageView : public PageView {
 public:
  void setText(int, const std::string&) override {}
  std::string text(int) override { return {}; }
  void enable(int, bool) override {}
  void show(int, bool) override {}
  void check(int, bool) override {}
  bool isChecked(int) override { return false; }
  void setProgressRange(int, int, int) override {}
  void setProgressPosition(int, int) override {}
  void setFont(int, const Font&) override {}
  void setTextStyle(int, TextStyle) override {}
  void setWhiteBackground() override {}
  void paintBitmap(int, int) override {}
  void addComboItem(int, const std::string&, std::intptr_t) override {}
  void selectComboItem(int, int) override {}
  int selectedComboItem(int) override { return -1; }
  std::intptr_t comboItemData(int, int) override { return 0; }
  void setTreeStateImages(int, int) override {}
  void clearTree(int) override {}
  std::uintptr_t addTreeItem(int, std::uintptr_t, const std::string&, bool, int) override {
    return 0;
  }
  void expandTreeItem(int, std::uintptr_t) override {}
  void setTreeItemStateImage(int, std::uintptr_t, int) override {}
  void setTreeItemColour(int, std::uintptr_t, ItemColour) override {}
  void setListStateImages(int, int) override {}
  void clearList(int) override {}
  int addListRow(int, const std::string&, int) override { return -1; }
  void setListRowStateImage(int, int, int) override {}
  void setBoldListRow(int, int) override {}
  void setIconImage(int, const std::vector<std::uint8_t>&) override {}
  void setWaitCursor(bool) override {}
  void setToolTip(int, const std::string&) override {}
};

}  // namespace ks
