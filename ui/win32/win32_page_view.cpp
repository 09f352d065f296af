#include "ui/win32/win32_page_view.h"

#include <windowsx.h>

#include "platform/win32/wide_text.h"
#include "resources/dialog_resources.h"
#include "ui/win32/icon_file.h"

namespace ks {

namespace {

using K = ControlKind;

constexpr UINT kStandardDpi = 96;
constexpr int kIconEdgeAt96Dpi = 32;
constexpr int kBoldWeight = FW_BOLD;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr int kStateImageEdge = 16;
constexpr UINT_PTR kQuietListSubclass = 1;
#ifndef WM_DPICHANGED_AFTERPARENT
constexpr UINT WM_DPICHANGED_AFTERPARENT = 0x02E3;
#endif

std::wstring wide(const std::string& text) {
  return widen(text).value_or(std::wstring());
}

// The download list takes no part in the mouse: the user can't select or
// click its rows.
LRESULT CALLBACK quietListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
      return DefWindowProcW(list, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      return 0;
    default:
      return DefSubclassProc(list, message, wParam, lParam);
  }
}

LOGFONTW defaultGuiFont() {
  LOGFONTW font{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

UINT screenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kStandardDpi;
}

// A font description at a window's DPI: the default GUI font's face and
// height unless the request names its own; heights are given at 96 DPI.
HFONT createFont(const PageView::Font& request, UINT dpi) {
  LOGFONTW font = defaultGuiFont();
  if (!request.face.empty()) {
    const std::wstring face = wide(request.face);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  }
  font.lfHeight = request.height > 0
                      ? MulDiv(request.height, static_cast<int>(dpi), kStandardDpi)
                      : MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
  font.lfWeight = request.weight;
  return CreateFontIndirectW(&font);
}

COLORREF colourOf(PageView::ItemColour colour) {
  return colour == PageView::ItemColour::Red ? kRed : kBlue;
}

bool transparentStyle(PageView::TextStyle style) {
  return style != PageView::TextStyle::Default && style != PageView::TextStyle::OnWhite;
}

}  // namespace

UINT windowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : screenDpi();
}

Win32PageView::Win32PageView(HWND dialog, const DialogTemplate& dialogTemplate, HINSTANCE instance)
    : dialog_(dialog), instance_(instance), template_(dialogTemplate) {
  for (const ControlTemplate& control : template_.controls) {
    if (control.kind == K::ListView) prepareList(item(control.id));
    if (control.kind == K::Icon) prepareIcon(control);
  }
}

Win32PageView::~Win32PageView() {
  for (HWND list : quietLists_) {
    if (IsWindow(list)) RemoveWindowSubclass(list, quietListProcedure, kQuietListSubclass);
  }
}

// One left-aligned column as wide as the list less a scroll bar; the rows
// lie on the page's background.
void Win32PageView::prepareList(HWND list) {
  if (!list) return;
  SetWindowSubclass(list, quietListProcedure, kQuietListSubclass, 0);
  quietLists_.push_back(list);
  RECT client{};
  GetClientRect(list, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH;
  column.fmt = LVCFMT_LEFT;
  column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
  ListView_InsertColumn(list, 0, &column);
  ListView_SetBkColor(list, CLR_NONE);
  ListView_SetTextBkColor(list, CLR_NONE);
  if (!boldRowFont_.valid()) {
    boldRowFont_ = UniqueGdiObject(createFont({"", 0, kBoldWeight}, windowDpi(dialog_)));
  }
}

// The system's exclamation icon is set when the dialog opens; an icon of the
// setup's own comes with the template.
void Win32PageView::prepareIcon(const ControlTemplate& control) {
  if (control.bitmap != kSystemExclamationIcon) return;
  SendDlgItemMessageW(dialog_, control.id, STM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_EXCLAMATION)));
}

bool Win32PageView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) != 0 || !events_.command) return false;
      events_.command(LOWORD(wParam));
      result = 0;
      return true;
    case WM_NOTIFY:
      return handleNotify(*reinterpret_cast<NMHDR*>(lParam), result);
    case WM_PAINT:
      paint();
      result = 0;
      return true;
    case WM_DRAWITEM:
      // The bitmap bands draw nothing of their own: the page paints them.
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC:
      return colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result);
    case WM_CTLCOLORDLG:
      if (!whiteBackground_) return false;
      result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      return true;
    case WM_SETCURSOR:
      if (!waitCursor_) return false;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      result = TRUE;
      return true;
    case WM_DPICHANGED_AFTERPARENT:
      followDpi();
      return false;
    default:
      return false;
  }
}

void Win32PageView::paint() {
  PAINTSTRUCT paint{};
  paintDc_ = BeginPaint(dialog_, &paint);
  if (events_.paint) events_.paint();
  paintDc_ = nullptr;
  EndPaint(dialog_, &paint);
}

bool Win32PageView::handleNotify(NMHDR& header, LRESULT& result) {
  const int id = static_cast<int>(header.idFrom);
  const ControlTemplate* control = template_.control(id);
  if (!control) return false;
  if (header.code == NM_CUSTOMDRAW && control->kind == K::TreeView) {
    result = treeCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
    return true;
  }
  if (header.code == NM_CUSTOMDRAW && control->kind == K::ListView) {
    result = listCustomDraw(id, reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    return true;
  }
  if (header.code == NM_CLICK && control->kind == K::TreeView) {
    // Where the mouse was when the click happened, in the tree's terms.
    const DWORD position = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(header.hwndFrom, &hit.pt);
    TreeView_HitTest(header.hwndFrom, &hit);
    if ((hit.flags & TVHT_ONITEMSTATEICON) && hit.hItem && events_.treeStateClick) {
      events_.treeStateClick(id, reinterpret_cast<std::uintptr_t>(hit.hItem));
    }
    result = 0;
    return true;
  }
  if (header.code == TVN_SELCHANGEDW && !changingTree_ && events_.treeSelection) {
    const auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
    events_.treeSelection(id, reinterpret_cast<std::uintptr_t>(change.itemNew.hItem));
    result = 0;
    return true;
  }
  return false;
}

// The item texts of components in colour, except the highlighted item's.
LRESULT Win32PageView::treeCustomDraw(NMTVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || (draw.nmcd.uItemState & CDIS_SELECTED)) {
    return CDRF_DODEFAULT;
  }
  auto found = itemColours_.find(reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec));
  if (found != itemColours_.end() && found->second != ItemColour::Default) {
    draw.clrText = colourOf(found->second);
  }
  return CDRF_DODEFAULT;
}

LRESULT Win32PageView::listCustomDraw(int controlId, NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  auto bold = boldRows_.find(controlId);
  if (bold == boldRows_.end() || static_cast<int>(draw.nmcd.dwItemSpec) != bold->second) {
    return CDRF_DODEFAULT;
  }
  SelectObject(draw.nmcd.hdc, boldRowFont_.get());
  return CDRF_NEWFONT;
}

bool Win32PageView::colourStatic(HDC dc, HWND control, LRESULT& result) {
  auto found = styles_.find(GetDlgCtrlID(control));
  const TextStyle style = found == styles_.end() ? TextStyle::Default : found->second;
  if (!transparentStyle(style)) {
    if (!whiteBackground_ && style != TextStyle::OnWhite) return false;
    SetBkColor(dc, kWhite);
    result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    return true;
  }
  SetTextColor(dc, style == TextStyle::SideBandText ? kWhite
                   : style == TextStyle::BlueText   ? kBlue
                   : style == TextStyle::RedText    ? kRed
                                                    : kBlack);
  SetBkMode(dc, TRANSPARENT);
  result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  return true;
}

void Win32PageView::repaintBeneath(HWND control) {
  RECT area{};
  GetWindowRect(control, &area);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(dialog_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32PageView::setText(int controlId, const std::string& text) {
  HWND control = item(controlId);
  if (!control) return;
  SetWindowTextW(control, wide(text).c_str());
  auto style = styles_.find(controlId);
  if (style != styles_.end() && transparentStyle(style->second)) repaintBeneath(control);
}

std::string Win32PageView::text(int controlId) {
  HWND control = item(controlId);
  if (!control) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return narrow(text).value_or(std::string());
}

void Win32PageView::enable(int controlId, bool enabled) {
  if (HWND control = item(controlId)) EnableWindow(control, enabled);
}

void Win32PageView::show(int controlId, bool visible) {
  if (HWND control = item(controlId)) ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void Win32PageView::check(int controlId, bool checked) {
  CheckDlgButton(dialog_, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32PageView::isChecked(int controlId) {
  return IsDlgButtonChecked(dialog_, controlId) == BST_CHECKED;
}

void Win32PageView::setProgressRange(int controlId, int low, int high) {
  SendDlgItemMessageW(dialog_, controlId, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
}

void Win32PageView::setProgressPosition(int controlId, int position) {
  SendDlgItemMessageW(dialog_, controlId, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Win32PageView::setFont(int controlId, const Font& font) {
  if (!item(controlId)) return;
  fontRequests_[controlId] = font;
  makeFont(controlId, font);
}

void Win32PageView::makeFont(int controlId, const Font& font) {
  UniqueGdiObject made(createFont(font, windowDpi(dialog_)));
  SendDlgItemMessageW(dialog_, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
  fonts_[controlId] = std::move(made);
}

// The page moved to a screen of another DPI: fonts and images follow.
void Win32PageView::followDpi() {
  for (const auto& [id, font] : fontRequests_) makeFont(id, font);
  boldRowFont_ = UniqueGdiObject(createFont({"", 0, kBoldWeight}, windowDpi(dialog_)));
  for (const auto& [id, bitmap] : stateImageRequests_) {
    const ControlTemplate* control = template_.control(id);
    if (control && control->kind == K::TreeView) setTreeStateImages(id, bitmap);
    if (control && control->kind == K::ListView) setListStateImages(id, bitmap);
  }
}

void Win32PageView::setTextStyle(int controlId, TextStyle style) {
  HWND control = item(controlId);
  if (!control) return;
  styles_[controlId] = style;
  InvalidateRect(control, nullptr, TRUE);
}

void Win32PageView::setWhiteBackground() {
  whiteBackground_ = true;
  InvalidateRect(dialog_, nullptr, TRUE);
}

// Stretched over the control's client area, at the control's place on the
// page; a hidden band still marks the place.
void Win32PageView::paintBitmap(int controlId, int bitmapId) {
  HWND band = item(controlId);
  if (!band) return;
  if (!paintDc_) {
    InvalidateRect(dialog_, nullptr, TRUE);
    return;
  }
  RECT client{};
  GetClientRect(band, &client);
  POINT origin{0, 0};
  MapWindowPoints(band, dialog_, &origin, 1);
  const UniqueGdiObject bitmap(LoadBitmapW(instance_, MAKEINTRESOURCEW(bitmapId)));
  if (!bitmap.valid()) return;
  BITMAP size{};
  GetObjectW(bitmap.get(), sizeof size, &size);
  HDC memory = CreateCompatibleDC(paintDc_);
  HGDIOBJ previous = SelectObject(memory, bitmap.get());
  SetStretchBltMode(paintDc_, HALFTONE);
  SetBrushOrgEx(paintDc_, 0, 0, nullptr);
  StretchBlt(paintDc_, origin.x, origin.y, client.right, client.bottom, memory, 0, 0, size.bmWidth,
             size.bmHeight, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

void Win32PageView::addComboItem(int controlId, const std::string& text, std::intptr_t data) {
  const LRESULT index = SendDlgItemMessageW(dialog_, controlId, CB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(wide(text).c_str()));
  if (index >= 0) SendDlgItemMessageW(dialog_, controlId, CB_SETITEMDATA, index, data);
}

void Win32PageView::selectComboItem(int controlId, int index) {
  SendDlgItemMessageW(dialog_, controlId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32PageView::selectedComboItem(int controlId) {
  const LRESULT index = SendDlgItemMessageW(dialog_, controlId, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

std::intptr_t Win32PageView::comboItemData(int controlId, int index) {
  const LRESULT data =
      SendDlgItemMessageW(dialog_, controlId, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == CB_ERR ? -1 : static_cast<std::intptr_t>(data);
}

// A strip of 16 x 16 images as an image list of the page's DPI: the strip
// is stretched when the images are drawn larger than 16 pixels. A strip with
// a transparent colour is stretched pixel for pixel, so the colour stays
// exact.
UniqueImageList Win32PageView::imageStrip(int bitmapId, const StateImages& kind) {
  const int edge = MulDiv(kStateImageEdge, static_cast<int>(windowDpi(dialog_)), kStandardDpi);
  UniqueGdiObject strip(LoadBitmapW(instance_, MAKEINTRESOURCEW(bitmapId)));
  if (!strip.valid()) return UniqueImageList();
  BITMAP size{};
  GetObjectW(strip.get(), sizeof size, &size);
  const int count = size.bmWidth / kStateImageEdge;
  if (edge != kStateImageEdge) {
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    UniqueGdiObject scaled(CreateCompatibleBitmap(screen, count * edge, edge));
    HGDIOBJ previousFrom = SelectObject(from, strip.get());
    HGDIOBJ previousTo = SelectObject(to, scaled.get());
    SetStretchBltMode(to, kind.transparent == CLR_NONE ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, count * edge, edge, from, 0, 0, count * kStateImageEdge, kStateImageEdge,
               SRCCOPY);
    SelectObject(from, previousFrom);
    SelectObject(to, previousTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    strip = std::move(scaled);
  }
  UniqueImageList images(ImageList_Create(edge, edge, kind.flags, kind.initial, kind.growBy));
  auto* bitmap = static_cast<HBITMAP>(strip.get());
  if (kind.transparent == CLR_NONE) {
    ImageList_Add(images.get(), bitmap, nullptr);
  } else {
    ImageList_AddMasked(images.get(), bitmap, kind.transparent);
  }
  return images;
}

// Bitmap 126: five images without a mask.
void Win32PageView::setTreeStateImages(int controlId, int stateBitmap) {
  HWND tree = item(controlId);
  if (!tree) return;
  stateImageRequests_[controlId] = stateBitmap;
  UniqueImageList images = imageStrip(stateBitmap, kTreeStateImages);
  TreeView_SetImageList(tree, images.get(), TVSIL_STATE);
  imageLists_[controlId] = std::move(images);
}

void Win32PageView::clearTree(int controlId) {
  changingTree_ = true;
  TreeView_DeleteAllItems(item(controlId));
  changingTree_ = false;
  itemColours_.clear();
}

std::uintptr_t Win32PageView::addTreeItem(int controlId, std::uintptr_t parent,
                                          const std::string& text, bool bold, int stateImage) {
  std::wstring label = wide(text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? reinterpret_cast<HTREEITEM>(parent) : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_STATE;
  insert.item.pszText = label.data();
  insert.item.state = INDEXTOSTATEIMAGEMASK(stateImage) | (bold ? TVIS_BOLD : 0);
  insert.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD;
  changingTree_ = true;
  HTREEITEM added = TreeView_InsertItem(item(controlId), &insert);
  changingTree_ = false;
  return reinterpret_cast<std::uintptr_t>(added);
}

void Win32PageView::expandTreeItem(int controlId, std::uintptr_t treeItem) {
  changingTree_ = true;
  TreeView_Expand(item(controlId), reinterpret_cast<HTREEITEM>(treeItem), TVE_EXPAND);
  changingTree_ = false;
}

void Win32PageView::setTreeItemStateImage(int controlId, std::uintptr_t treeItem, int stateImage) {
  TreeView_SetItemState(item(controlId), reinterpret_cast<HTREEITEM>(treeItem),
                        INDEXTOSTATEIMAGEMASK(stateImage), TVIS_STATEIMAGEMASK);
}

void Win32PageView::setTreeItemColour(int controlId, std::uintptr_t treeItem, ItemColour colour) {
  itemColours_[reinterpret_cast<HTREEITEM>(treeItem)] = colour;
  InvalidateRect(item(controlId), nullptr, TRUE);
}

// Bitmap 149: four images, magenta where the row shows through.
void Win32PageView::setListStateImages(int controlId, int stateBitmap) {
  HWND list = item(controlId);
  if (!list) return;
  stateImageRequests_[controlId] = stateBitmap;
  UniqueImageList images = imageStrip(stateBitmap, kListStateImages);
  ListView_SetImageList(list, images.get(), LVSIL_STATE);
  imageLists_[controlId] = std::move(images);
}

void Win32PageView::clearList(int controlId) {
  ListView_DeleteAllItems(item(controlId));
}

int Win32PageView::addListRow(int controlId, const std::string& text, int stateImage) {
  HWND list = item(controlId);
  if (!list) return -1;
  std::wstring label = wide(text);
  LVITEMW row{};
  row.mask = LVIF_TEXT | LVIF_STATE | LVIF_PARAM;
  row.iItem = ListView_GetItemCount(list);
  row.pszText = label.data();
  row.state = INDEXTOSTATEIMAGEMASK(stateImage);
  row.stateMask = LVIS_STATEIMAGEMASK;
  row.lParam = row.iItem;
  const int added = ListView_InsertItem(list, &row);
  if (added == 0) cutListToWholeRows(list);
  return added;
}

// The list shows whole rows only: its height is cut to a multiple of the
// row height.
void Win32PageView::cutListToWholeRows(HWND list) {
  RECT row{};
  if (!ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS) || row.bottom <= row.top) return;
  const int rowHeight = row.bottom - row.top;
  RECT client{};
  RECT window{};
  GetClientRect(list, &client);
  GetWindowRect(list, &window);
  const int cut = client.bottom % rowHeight;
  if (cut == 0) return;
  SetWindowPos(list, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - cut,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32PageView::setListRowStateImage(int controlId, int row, int stateImage) {
  HWND list = item(controlId);
  ListView_SetItemState(list, row, INDEXTOSTATEIMAGEMASK(stateImage), LVIS_STATEIMAGEMASK);
  ListView_EnsureVisible(list, row, FALSE);
}

void Win32PageView::setBoldListRow(int controlId, int row) {
  boldRows_[controlId] = row;
  InvalidateRect(item(controlId), nullptr, TRUE);
}

void Win32PageView::setIconImage(int controlId, const std::vector<std::uint8_t>& iconFile) {
  HWND control = item(controlId);
  if (!control) return;
  const int edge = MulDiv(kIconEdgeAt96Dpi, static_cast<int>(windowDpi(dialog_)), kStandardDpi);
  UniqueIcon icon(iconFile.empty() ? nullptr : iconFromIconFile(iconFile, edge));
  SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.get()));
  icons_[controlId] = std::move(icon);
}

void Win32PageView::setWaitCursor(bool busy) {
  waitCursor_ = busy;
  POINT cursor{};
  GetCursorPos(&cursor);
  HWND under = WindowFromPoint(cursor);
  if (under == dialog_ || IsChild(dialog_, under)) {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  }
}

// A disabled control gets no mouse messages, so the tip belongs to the page
// and to the control's rectangle in it.
void Win32PageView::setToolTip(int controlId, const std::string& text) {
  HWND control = item(controlId);
  if (control == nullptr) return;
  if (toolTips_ == nullptr) {
    toolTips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_,
                                nullptr, instance_, nullptr);
    if (toolTips_ == nullptr) return;
  }
  std::wstring wide = widen(text).value_or(std::wstring());
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = dialog_;
  tool.uId = static_cast<UINT_PTR>(controlId);
  GetWindowRect(control, &tool.rect);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&tool.rect), 2);
  SendMessageW(toolTips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (wide.empty()) return;
  tool.lpszText = wide.data();
  SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace ks
