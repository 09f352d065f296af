#pragma once
// A dialog or page view that keeps what its controller shows: texts, enable
// and check states, progress positions by control id.

#include <map>
#include <string>
#include <vector>

#include "platform/page_view.h"

namespace ks::test {

class FakeDownloadView : public PageView {
 public:
  std::map<int, std::string> texts;
  std::map<int, bool> enabled;
  std::map<int, bool> visible;
  std::map<int, bool> checked;
  std::map<int, int> positions;
  std::vector<std::string> textLog;  // "<id> <text>" in the order written

  void setText(int controlId, const std::string& text) override {
    texts[controlId] = text;
    textLog.push_back(std::to_string(controlId) + " " + text);
  }
  std::string text(int controlId) override { return texts[controlId]; }
  void enable(int controlId, bool on) override { enabled[controlId] = on; }
  void show(int controlId, bool on) override { visible[controlId] = on; }
  void check(int controlId, bool on) override { checked[controlId] = on; }
  bool isChecked(int controlId) override { return checked[controlId]; }
  void setProgressRange(int, int, int) override {}
  void setProgressPosition(int controlId, int position) override {
    positions[controlId] = position;
  }
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
};

}  // namespace ks::test
