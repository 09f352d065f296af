#pragma once
// A wizard page or dialog as its controller sees it: controls addressed by the
// control ids of the dialog templates. The view only draws and reports.

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

class PageView {
 public:
  virtual ~PageView() = default;
  virtual void setText(int controlId, const std::string& text) = 0;
  virtual std::string text(int controlId) = 0;
  virtual void enable(int controlId, bool enabled) = 0;
  virtual void show(int controlId, bool visible) = 0;
  virtual void check(int controlId, bool checked) = 0;
  virtual bool isChecked(int controlId) = 0;
  // Progress bars.
  virtual void setProgressRange(int controlId, int low, int high) = 0;
  virtual void setProgressPosition(int controlId, int position) = 0;

  // Fonts and colours the page asks for.
  struct Font {
    std::string face;  // "" = the system's default GUI face
    int height = 0;    // logical units, as a dialog font height
    int weight = 400;  // 700 = bold
  };
  enum class TextStyle {
    Default,
    HeaderText,    // black text drawn transparently over the header band
    SideBandText,  // white text drawn transparently over the side band
    OnWhite,       // default text on a white background
    BlueText,      // blue text, transparent background
    RedText,       // red text, transparent background
  };
  virtual void setFont(int controlId, const Font& font) = 0;
  virtual void setTextStyle(int controlId, TextStyle style) = 0;
  // The page's own background: white instead of the dialog colour.
  virtual void setWhiteBackground() = 0;
  // Paints bitmap resource bitmapId stretched over the area of controlId.
  virtual void paintBitmap(int controlId, int bitmapId) = 0;

  // Combo boxes (drop-down lists): items in the order added, each with data.
  virtual void addComboItem(int controlId, const std::string& text, std::intptr_t data) = 0;
  virtual void selectComboItem(int controlId, int index) = 0;
  // The selected item's position, or -1 when none is selected.
  virtual int selectedComboItem(int controlId) = 0;
  virtual std::intptr_t comboItemData(int controlId, int index) = 0;

  // Tree views. Items are addressed by the handle addTreeItem returns (never
  // 0); a root item has parent 0. State image 0 means none (groups); the
  // images come from bitmap resource stateBitmap, a strip of 16x16 images
  // numbered from 0.
  enum class ItemColour { Default, Red, Blue };
  virtual void setTreeStateImages(int controlId, int stateBitmap) = 0;
  virtual void clearTree(int controlId) = 0;
  virtual std::uintptr_t addTreeItem(int controlId, std::uintptr_t parent, const std::string& text,
                                     bool bold, int stateImage) = 0;
  virtual void expandTreeItem(int controlId, std::uintptr_t item) = 0;
  virtual void setTreeItemStateImage(int controlId, std::uintptr_t item, int stateImage) = 0;
  // The colour of an item's text while it is not the highlighted item.
  virtual void setTreeItemColour(int controlId, std::uintptr_t item, ItemColour colour) = 0;

  // List views (one column, no header, rows not clickable). Rows are
  // addressed by their position; state images as for trees.
  virtual void setListStateImages(int controlId, int stateBitmap) = 0;
  virtual void clearList(int controlId) = 0;
  virtual int addListRow(int controlId, const std::string& text, int stateImage) = 0;
  virtual void setListRowStateImage(int controlId, int row, int stateImage) = 0;
  // The one row drawn in bold; -1 for none.
  virtual void setBoldListRow(int controlId, int row) = 0;

  // An icon control shows the first icon of an icon file image (.ico bytes);
  // empty bytes show none.
  virtual void setIconImage(int controlId, const std::vector<std::uint8_t>& iconFile) = 0;
  // The wait cursor over the page while busy.
  virtual void setWaitCursor(bool busy) = 0;
  // The text shown when the pointer rests on a control ("" for none).
  virtual void setToolTip(int controlId, const std::string& text) = 0;
};

}  // namespace ks
