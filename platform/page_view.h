#pragma once
// A wizard page or dialog as its controller sees it: controls addressed by the
// control ids of the dialog templates. The view only draws and reports.

#include <cstdint>
#include <string>

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
};

}  // namespace ks
