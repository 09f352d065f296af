#pragma once
// The dialog templates of the setup: every control of a page or dialog with
// its id, kind, text, place in dialog units and initial state. The one source
// of them for every frontend: the Win32 frontend builds its DLGTEMPLATEs from
// these, the Qt frontend its layouts, the headless views their controls; the
// controllers address the controls by the same ids.

#include <array>
#include <string_view>
#include <vector>

namespace ks {

enum class ControlKind {
  Static,        // label or text line
  Title,         // the page title
  Edit,          // single-line edit, scrolls horizontally
  ReadOnlyEdit,  // single-line edit the user can\'t change
  PushButton,
  RadioButton,  // auto radio button; radio buttons of one group exclude each other
  CheckBox,     // auto check box
  GroupBox,
  ComboList,   // drop-down list
  BitmapBand,  // owner-drawn band with a sunken edge the page paints a bitmap into
  Picture,     // picture control showing a bitmap of its own, stretched over its area
  TreeView,
  ListView,
  ProgressBar,
  Icon,
};

enum class TextAlign { Left, Centre, Right };

// A rectangle in dialog units: a quarter of the dialog font's average
// character width across, an eighth of its height down.
struct DialogRect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

struct ControlTemplate {
  int id;  // -1 for controls nobody addresses
  ControlKind kind;
  std::string_view text;
  DialogRect rect;
  bool disabled = false;
  bool hidden = false;
  // BitmapBand and Picture: the bitmap resource. Icon: the icon resource
  // (kSystemExclamationIcon for the system's one), 0 for none.
  int bitmap = 0;
  // Controls with the same non-zero row stand side by side (the Qt layout).
  int row = 0;
  TextAlign align = TextAlign::Left;
};

struct DialogTemplate {
  int id;
  std::string_view caption;
  // True for the pages with the side band (102, 107); the others carry a
  // header band with title and subtitle.
  bool sideBand;
  std::vector<ControlTemplate> controls;
  // The dialog's size in dialog units and its font.
  int cx = 0;
  int cy = 0;
  std::string_view font = "MS Shell Dlg";
  int pointSize = 8;

  // The control of an id; null when the template has none.
  const ControlTemplate* control(int controlId) const;
};

// The templates of the wizard's pages, in page order.
inline constexpr std::array<int, 8> kWizardPageTemplates = {102, 153, 1084, 104,
                                                            147, 105, 106,  107};

// The template of a dialog id, or null when there is none.
const DialogTemplate* findDialogTemplate(int id);

// Every template, pages and dialogs.
const std::vector<DialogTemplate>& allDialogTemplates();

inline constexpr std::string_view kWizardCaption = "Kestrova Active Setup";
// Every wizard page's size, in dialog units.
inline constexpr DialogRect kWizardPageArea{0, 0, 331, 193};
// The setup program's icon resource, which the Integration page's icon
// control shows until the page puts the application's icon there.
inline constexpr int kSetupIconResource = 3000;

}  // namespace ks
