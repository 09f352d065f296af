#pragma once
// The dialog templates of the setup: every control of a page or dialog with
// its id, kind, text and initial state. Frontends build their windows from
// these; controllers address the controls by the same ids.

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
  BitmapBand,  // owner-drawn band the page paints a bitmap into
  Picture,     // picture control showing a bitmap of its own
  TreeView,
  ListView,
  ProgressBar,
  Icon,
};

struct ControlTemplate {
  int id;  // -1 for controls nobody addresses
  ControlKind kind;
  std::string_view text;
  bool disabled = false;
  bool hidden = false;
  int bitmap = 0;  // for BitmapBand and Picture
  // Controls with the same non-zero row are laid out side by side.
  int row = 0;
};

struct DialogTemplate {
  int id;
  std::string_view caption;
  // True for the pages with the side band (102, 107); the others carry a
  // header band with title and subtitle.
  bool sideBand;
  std::vector<ControlTemplate> controls;
};

// The templates of the wizard's pages, in page order.
inline constexpr std::array<int, 8> kWizardPageTemplates = {102, 153, 1084, 104,
                                                            147, 105, 106,  107};

// The template of a dialog id, or null when there is none.
const DialogTemplate* findDialogTemplate(int id);

inline constexpr std::string_view kWizardCaption = "Kestrova Active Setup";

}  // namespace ks
