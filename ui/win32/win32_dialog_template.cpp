#include "ui/win32/win32_dialog_template.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"
#include "resources/dialog_resources.h"

namespace ks {

namespace {

using K = ControlKind;

// Standard dialog result ids: the OK button of a dialog is its default button.
constexpr int kIdOkButton = IDOK;
constexpr WORD kOrdinalMarker = 0xFFFF;

bool isRadio(const ControlTemplate& control) {
  return control.kind == K::RadioButton;
}

// The radio buttons of a dialog form one group: it starts at the first of
// them and ends at the first control after the last of them. Whatever lies
// between (their descriptions, a check box) belongs to it but takes no part
// in the exclusion.
bool startsGroup(const DialogTemplate& dialog, std::size_t index) {
  const std::vector<ControlTemplate>& controls = dialog.controls;
  std::size_t first = controls.size();
  std::size_t last = controls.size();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (!isRadio(controls[i])) continue;
    if (first == controls.size()) first = i;
    last = i;
  }
  return index == first || (last != controls.size() && index == last + 1);
}

DWORD staticStyle(const ControlTemplate& control) {
  DWORD style = control.align == TextAlign::Centre  ? SS_CENTER
                : control.align == TextAlign::Right ? SS_RIGHT
                                                    : SS_LEFT;
  // A line the setup fills in (a folder, a version, a status) shows its text
  // as it is, and a text too long for one line loses its middle, not its end.
  constexpr int kOneLine = 10;
  if (control.text.empty()) {
    style |= SS_NOPREFIX;
    if (control.rect.cy <= kOneLine) style |= SS_PATHELLIPSIS;
  }
  return style;
}

DWORD kindStyle(const ControlTemplate& control, DialogRole role) {
  switch (control.kind) {
    case K::Static:
    case K::Title:
      return staticStyle(control);
    case K::Edit:
      return ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    case K::ReadOnlyEdit:
      return ES_AUTOHSCROLL | ES_READONLY;
    case K::PushButton:
      return WS_TABSTOP |
             (role == DialogRole::ModalDialog && control.id == kIdOkButton ? BS_DEFPUSHBUTTON
                                                                           : BS_PUSHBUTTON);
    case K::RadioButton:
      return BS_AUTORADIOBUTTON;
    case K::CheckBox:
      return BS_AUTOCHECKBOX | WS_TABSTOP;
    case K::GroupBox:
      return BS_GROUPBOX;
    case K::ComboList:
      return CBS_DROPDOWNLIST | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
    case K::BitmapBand:
      return SS_OWNERDRAW | SS_SUNKEN;
    case K::Picture:
      return SS_BITMAP | SS_REALSIZECONTROL;
    case K::TreeView:
      return TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER |
             WS_TABSTOP;
    case K::ListView:
      return LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_BORDER;
    case K::ProgressBar:
      return 0;
    case K::Icon:
      return SS_ICON;
  }
  return 0;
}

// Pictures and icons name their image resource by ordinal; the system's own
// icon is set when the dialog opens.
bool namesImageResource(const ControlTemplate& control) {
  if (control.kind == K::Picture) return control.bitmap != 0;
  return control.kind == K::Icon && control.bitmap != 0 && control.bitmap != kSystemExclamationIcon;
}

}  // namespace

DWORD controlStyle(const DialogTemplate& dialog, std::size_t index, DialogRole role) {
  const ControlTemplate& control = dialog.controls[index];
  DWORD style = WS_CHILD | kindStyle(control, role);
  if (!control.hidden) style |= WS_VISIBLE;
  if (control.disabled) style |= WS_DISABLED;
  if (startsGroup(dialog, index)) style |= WS_GROUP | (isRadio(control) ? WS_TABSTOP : 0);
  return style;
}

Win32DialogTemplate::Win32DialogTemplate(const DialogTemplate& dialog, DialogRole role) {
  addHeader(dialog, role);
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) addControl(dialog, i, role);
}

void Win32DialogTemplate::addDword(DWORD value) {
  addWord(LOWORD(value));
  addWord(HIWORD(value));
}

void Win32DialogTemplate::addText(std::string_view text) {
  const std::wstring wide = widen(text).value_or(std::wstring());
  for (wchar_t c : wide) addWord(static_cast<WORD>(c));
  addWord(0);
}

void Win32DialogTemplate::alignToDword() {
  if (words_.size() % 2 != 0) addWord(0);
}

// "MS Shell Dlg" with DS_SHELLFONT is the system's dialog face (Tahoma and
// its successors); any other face is taken as named.
void Win32DialogTemplate::addHeader(const DialogTemplate& dialog, DialogRole role) {
  const bool shellFont = dialog.font == "MS Shell Dlg";
  DWORD style = shellFont ? DS_SHELLFONT : DS_SETFONT;
  style |= role == DialogRole::WizardPage
               ? WS_CHILD | WS_DISABLED | WS_CAPTION
               : WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  addWord(1);               // dlgVer
  addWord(kOrdinalMarker);  // signature: DLGTEMPLATEEX
  addDword(0);              // helpID
  addDword(0);              // exStyle
  addDword(style);
  addWord(static_cast<WORD>(dialog.controls.size()));
  addWord(0);  // x
  addWord(0);  // y
  addWord(static_cast<WORD>(dialog.cx));
  addWord(static_cast<WORD>(dialog.cy));
  addWord(0);  // no menu
  addWord(0);  // the standard dialog class
  addText(dialog.caption);
  addWord(static_cast<WORD>(dialog.pointSize));
  addWord(FW_NORMAL);
  addWord(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
  addText(dialog.font);
}

void Win32DialogTemplate::addControl(const DialogTemplate& dialog, std::size_t index,
                                     DialogRole role) {
  const ControlTemplate& control = dialog.controls[index];
  alignToDword();
  addDword(0);  // helpID
  addDword(0);  // exStyle
  addDword(controlStyle(dialog, index, role));
  addWord(static_cast<WORD>(control.rect.x));
  addWord(static_cast<WORD>(control.rect.y));
  addWord(static_cast<WORD>(control.rect.cx));
  addWord(static_cast<WORD>(control.rect.cy));
  addDword(static_cast<DWORD>(control.id));  // -1 is IDC_STATIC
  for (const wchar_t* c = windowClass(control.kind); *c; ++c) addWord(static_cast<WORD>(*c));
  addWord(0);
  if (namesImageResource(control)) {
    addWord(kOrdinalMarker);
    addWord(static_cast<WORD>(control.bitmap));
  } else {
    addText(control.text);
  }
  addWord(0);  // no creation data
}

const wchar_t* windowClass(ControlKind kind) {
  switch (kind) {
    case K::Edit:
    case K::ReadOnlyEdit:
      return L"Edit";
    case K::PushButton:
    case K::RadioButton:
    case K::CheckBox:
    case K::GroupBox:
      return L"Button";
    case K::ComboList:
      return L"ComboBox";
    case K::TreeView:
      return WC_TREEVIEWW;
    case K::ListView:
      return WC_LISTVIEWW;
    case K::ProgressBar:
      return PROGRESS_CLASSW;
    default:
      return L"Static";
  }
}

}  // namespace ks
