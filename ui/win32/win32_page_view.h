#pragma once
// A wizard page or dialog made by the dialog manager from its template,
// driven by control id: SetDlgItemTextW, EnableWindow, ShowWindow,
// CheckDlgButton, the tree, list, combo box, progress bar and icon messages.
// The page's window procedure hands it the messages it draws by
// (handleMessage): the bitmap bands painted into the page (WM_PAINT), the
// text colours (WM_CTLCOLORSTATIC, WM_CTLCOLORDLG), the tree's item colours
// and the list's bold row (NM_CUSTOMDRAW), the wait cursor. It reports the
// user's clicks through Events and decides nothing.

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/page_view.h"
#include "platform/win32/unique_handle.h"
#include "resources/dialog_templates.h"

namespace ks {

inline HGDIOBJ nullGdiObject() {
  return nullptr;
}
inline HIMAGELIST nullImageList() {
  return nullptr;
}
inline HICON nullIcon() {
  return nullptr;
}
inline BOOL destroyImageList(HIMAGELIST list) {
  return ImageList_Destroy(list);
}
using UniqueGdiObject = UniqueHandle<HGDIOBJ, DeleteObject, nullGdiObject>;
using UniqueImageList = UniqueHandle<HIMAGELIST, destroyImageList, nullImageList>;
using UniqueIcon = UniqueHandle<HICON, DestroyIcon, nullIcon>;

class Win32PageView final : public PageView {
 public:
  struct Events {
    std::function<void(int controlId)> command = {};
    std::function<void(int controlId, std::uintptr_t item)> treeStateClick = {};
    std::function<void(int controlId, std::uintptr_t item)> treeSelection = {};
    // WM_PAINT: the controller paints its bitmaps (paintBitmap) now.
    std::function<void()> paint = {};
  };

  // Called from the dialog's WM_INITDIALOG: the controls exist.
  Win32PageView(HWND dialog, const DialogTemplate& dialogTemplate, HINSTANCE instance);
  ~Win32PageView() override;
  Win32PageView(const Win32PageView&) = delete;
  Win32PageView& operator=(const Win32PageView&) = delete;

  void setEvents(Events events) { events_ = std::move(events); }
  HWND window() const { return dialog_; }
  // The dialog procedure's part: true when the message was handled, with
  // the value to return (for WM_NOTIFY, to be set as DWLP_MSGRESULT).
  bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

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
  HWND item(int controlId) const { return GetDlgItem(dialog_, controlId); }
  void prepareList(HWND list);
  void prepareIcon(const ControlTemplate& control);
  // Fonts are made for the page's DPI and made again when it changes.
  void makeFont(int controlId, const Font& font);
  void followDpi();
  // How a strip of state images becomes an image list.
  struct StateImages {
    UINT flags;
    int initial;
    int growBy;
    COLORREF transparent;  // CLR_NONE: no mask
  };
  // The tree's tick boxes: colour, no mask; the list's row states: 8-bit
  // colour with magenta as the mask colour.
  static constexpr StateImages kTreeStateImages{ILC_COLOR24, 5, 5, CLR_NONE};
  static constexpr StateImages kListStateImages{ILC_COLOR8 | ILC_MASK, 0, 4, RGB(255, 0, 255)};
  UniqueImageList imageStrip(int bitmapId, const StateImages& kind);
  // A text drawn transparently leaves the old one behind unless what lies
  // beneath it is painted again.
  void repaintBeneath(HWND control);
  void cutListToWholeRows(HWND list);
  bool colourStatic(HDC dc, HWND control, LRESULT& result);
  LRESULT treeCustomDraw(NMTVCUSTOMDRAW& draw);
  LRESULT listCustomDraw(int controlId, NMLVCUSTOMDRAW& draw);
  bool handleNotify(NMHDR& header, LRESULT& result);
  void paint();

  HWND dialog_;
  HINSTANCE instance_;
  // Made with the first tip; the page owns it, so it goes with the page.
  HWND toolTips_ = nullptr;
  const DialogTemplate& template_;
  Events events_;
  bool whiteBackground_ = false;
  bool waitCursor_ = false;
  // While the page paints (WM_PAINT), the device context to paint into.
  HDC paintDc_ = nullptr;
  // The page's own changes of a tree are not reported as the user's.
  bool changingTree_ = false;
  std::map<int, Font> fontRequests_;
  std::map<int, UniqueGdiObject> fonts_;
  std::map<int, TextStyle> styles_;
  std::map<int, UniqueImageList> imageLists_;
  std::map<int, int> stateImageRequests_;
  std::map<HTREEITEM, ItemColour> itemColours_;
  std::map<int, int> boldRows_;
  UniqueGdiObject boldRowFont_;
  std::map<int, UniqueIcon> icons_;
  std::vector<HWND> quietLists_;
};

// The DPI the window is drawn at (96 is 100 %).
UINT windowDpi(HWND window);

}  // namespace ks
