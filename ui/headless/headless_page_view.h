#pragma once
// A page without a window: it keeps every control of its template by id
// (text, enabled, visible, checked, combo items, font, text style) and
// writes every change to a log, so tests and unattended runs can see what a
// person would. A control id the template lacks is rejected: the request
// does nothing and the id is recorded, so a controller and a template that
// drift apart fail the tests.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/page_view.h"
#include "resources/dialog_templates.h"

namespace ks {

class HeadlessPageView final : public PageView {
 public:
  struct Control {
    ControlKind kind = ControlKind::Static;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    std::vector<std::pair<std::string, std::intptr_t>> items;
    int selected = -1;
    int progressLow = 0;
    int progressHigh = 100;
    int progressPosition = 0;
    Font font;
    TextStyle style = TextStyle::Default;
    int stateBitmap = 0;
    // Tree items (in the order added) or list rows.
    struct Item {
      std::uintptr_t handle = 0;
      std::uintptr_t parent = 0;
      std::string text;
      bool bold = false;
      int stateImage = 0;
      bool expanded = false;
      ItemColour colour = ItemColour::Default;
    };
    std::vector<Item> rows;
    int boldRow = -1;
    std::vector<std::uint8_t> icon;
    std::string toolTip;
  };

  // Told of every text a controller writes: template id, control id, text.
  using TextObserver = std::function<void(int, int, const std::string&)>;

  // A page with the controls of the template (or none for an unknown id).
  explicit HeadlessPageView(int templateId, std::vector<std::string>* log = nullptr,
                            TextObserver observer = nullptr);

  // PageView
  void setText(int controlId, const std::string& text) override;
  std::string text(int controlId) override { return control(controlId).text; }
  void enable(int controlId, bool enabled) override;
  void show(int controlId, bool visible) override;
  void check(int controlId, bool checked) override;
  bool isChecked(int controlId) override { return control(controlId).checked; }
  void setProgressRange(int controlId, int low, int high) override;
  void setProgressPosition(int controlId, int position) override;
  void setFont(int controlId, const Font& font) override { control(controlId).font = font; }
  void setTextStyle(int controlId, TextStyle style) override { control(controlId).style = style; }
  void setWhiteBackground() override { whiteBackground = true; }
  void paintBitmap(int controlId, int bitmapId) override { painted[controlId] = bitmapId; }
  void addComboItem(int controlId, const std::string& text, std::intptr_t data) override;
  void selectComboItem(int controlId, int index) override;
  int selectedComboItem(int controlId) override { return control(controlId).selected; }
  std::intptr_t comboItemData(int controlId, int index) override;
  void setTreeStateImages(int controlId, int stateBitmap) override;
  void clearTree(int controlId) override;
  std::uintptr_t addTreeItem(int controlId, std::uintptr_t parent, const std::string& text,
                             bool bold, int stateImage) override;
  void expandTreeItem(int controlId, std::uintptr_t item) override;
  void setTreeItemStateImage(int controlId, std::uintptr_t item, int stateImage) override;
  void setTreeItemColour(int controlId, std::uintptr_t item, ItemColour colour) override;
  void setListStateImages(int controlId, int stateBitmap) override;
  void clearList(int controlId) override { clearTree(controlId); }
  int addListRow(int controlId, const std::string& text, int stateImage) override;
  void setListRowStateImage(int controlId, int row, int stateImage) override;
  void setBoldListRow(int controlId, int row) override;
  void setIconImage(int controlId, const std::vector<std::uint8_t>& iconFile) override;
  void setWaitCursor(bool busy) override { waitCursor = busy; }
  void setToolTip(int controlId, const std::string& text) override {
    control(controlId).toolTip = text;
  }

  // A tree item by handle; null when there is none.
  const Control::Item* treeItem(int controlId, std::uintptr_t item) const;

  // What the user does: a click on a button, box or option (radio buttons of
  // the page exclude each other, check boxes toggle), typing into an edit,
  // choosing a list item. The caller then tells the frame of the command.
  // False when the control is disabled or hidden.
  bool userClick(int controlId);
  bool userType(int controlId, const std::string& text);
  bool userSelect(int controlId, int index);

  const Control& at(int controlId) const;
  int templateId() const { return templateId_; }
  // The ids a controller addressed that the template does not have.
  const std::set<int>& rejectedControls() const { return rejected_; }

  bool whiteBackground = false;
  bool waitCursor = false;
  std::map<int, int> painted;  // control id -> bitmap id

 private:
  Control& control(int controlId);
  Control::Item* findItem(int controlId, std::uintptr_t item);
  std::uintptr_t nextHandle_ = 1;
  void record(int controlId, const std::string& what);

  int templateId_;
  std::map<int, Control> controls_;
  std::set<int> rejected_;
  // What a request for a rejected id works on; never read back.
  Control scratch_;
  std::vector<std::string>* log_;
  TextObserver observer_;
};

}  // namespace ks
