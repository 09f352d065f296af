#pragma once
// A wizard page or dialog drawn with Qt Widgets, built from its dialog
// template with native layouts (no pixel positions):
//
// - Wizard pages with a side band: the band at the left, the statics that
//   stand between band and title in the template drawn white over the band;
//   the title and the rest to the right of it.
// - Header pages: the band (the template's bitmap band or picture) across the
//   top with the title and the control after it (the subtitle) over it; the
//   rest below.
// - Controls of one non-zero row stand side by side. A group box frames the
//   controls after it up to the next group box. Controls after a radio button
//   are indented under it.
// - Dialogs: the push buttons IDOK / IDCANCEL, and the buttons of their row,
//   form the button row at the bottom right; IDOK is the default button.
//
// The view reports clicks and tree events through Events; it decides nothing.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/page_view.h"
#include "resources/dialog_templates.h"

class QBoxLayout;
class QButtonGroup;
class QTreeWidgetItem;

namespace ks {

class QtPageView final : public QWidget, public PageView {
 public:
  enum class Role { WizardPage, Dialog };

  struct Events {
    std::function<void(int controlId)> command = {};
    std::function<void(int controlId, std::uintptr_t item)> treeStateClick = {};
    std::function<void(int controlId, std::uintptr_t item)> treeSelection = {};
  };

  QtPageView(const DialogTemplate& dialog, Role role, QWidget* parent = nullptr);
  ~QtPageView() override;

  void setEvents(Events events) { events_ = std::move(events); }
  int templateId() const { return templateId_; }
  // The widget of a control id; null when the template has none.
  QWidget* control(int controlId) const;
  // The height the page needs at the given width (wrapped texts included).
  int heightForPageWidth(int width) const;
  // Horizontal and vertical dialog units in pixels of this view's font.
  int dluX(int units) const;
  int dluY(int units) const;

  // PageView
  void setText(int controlId, const std::string& text) override;
  std::string text(int controlId) override;
  void enable(int controlId, bool enabled) override;
  void show(int controlId, bool visible) override;
  void check(int controlId, bool checked) override;
  bool isChecked(int controlId) override;
  void setProgressRange(int controlId, int low, int high) override;
  void setProgressPosition(int controlId, int position) override;
  void setFont(int controlId, const Font& font) override;
  void setTextStyle(int controlId, TextStyle style) override;
  void setWhiteBackground() override;
  void paintBitmap(int controlId, int bitmapId) override;
  void addComboItem(int controlId, const std::string& text, std::intptr_t data) override;
  void selectComboItem(int controlId, int index) override;
  int selectedComboItem(int controlId) override;
  std::intptr_t comboItemData(int controlId, int index) override;
  void setTreeStateImages(int controlId, int stateBitmap) override;
  void clearTree(int controlId) override;
  std::uintptr_t addTreeItem(int controlId, std::uintptr_t parent, const std::string& text,
                             bool bold, int stateImage) override;
  void expandTreeItem(int controlId, std::uintptr_t item) override;
  void setTreeItemStateImage(int controlId, std::uintptr_t item, int stateImage) override;
  void setTreeItemColour(int controlId, std::uintptr_t item, ItemColour colour) override;
  void setListStateImages(int controlId, int stateBitmap) override;
  void clearList(int controlId) override;
  int addListRow(int controlId, const std::string& text, int stateImage) override;
  void setListRowStateImage(int controlId, int row, int stateImage) override;
  void setBoldListRow(int controlId, int row) override;
  void setIconImage(int controlId, const std::vector<std::uint8_t>& iconFile) override;
  void setWaitCursor(bool busy) override;
  void setToolTip(int controlId, const std::string& text) override;

 private:
  struct Control {
    ControlKind kind = ControlKind::Static;
    QWidget* widget = nullptr;  // owned by the view through Qt's parent model
    std::string text;           // the text as the controller set it
    std::vector<QIcon> stateImages;
    std::map<std::uintptr_t, QTreeWidgetItem*> treeItems;
  };

  void build(const DialogTemplate& dialog);
  QWidget* makeControl(const ControlTemplate& control);
  Control* find(int controlId);
  QTreeWidgetItem* treeItem(Control& tree, std::uintptr_t item);
  void forwardCommand(int controlId);

  const int templateId_;
  const Role role_;
  Events events_;
  std::map<int, Control> controls_;
  QButtonGroup* radioGroup_ = nullptr;
  QBoxLayout* layout_ = nullptr;
  std::uintptr_t nextTreeItem_ = 1;
  // Tree signals caused by the controller's own changes are not reported.
  bool fillingTree_ = false;
};

}  // namespace ks
