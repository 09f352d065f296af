#include "resources/dialog_templates.h"

#include <vector>

#include "download/proxy_dialog.h"
#include "download/retry_dialog.h"
#include "resources/dialog_resources.h"

namespace ks {

namespace {

using K = ControlKind;
using A = TextAlign;

// The wizard pages: a side band of 111 x 194 units down the left edge, or a
// header band of 331 x 36 units across the top with the title and the
// subtitle over it; the page's own controls below or beside it with a margin
// of 7 units.
constexpr DialogRect kSideBand{0, 0, 111, 194};
constexpr DialogRect kHeaderBand{0, 0, 331, 36};
constexpr DialogRect kHeaderTitle{10, 6, 240, 12};
constexpr DialogRect kHeaderSubtitle{20, 20, 240, 8};
constexpr DialogRect kSideBandTitle{118, 8, 206, 16};

DialogTemplate wizardPage(int id, bool sideBand, std::vector<ControlTemplate> controls) {
  return {
      id, kWizardCaption, sideBand, std::move(controls), kWizardPageArea.cx, kWizardPageArea.cy};
}

// The first controls of every header page: the band, the title, the subtitle.
std::vector<ControlTemplate> headerPage(std::string_view title, std::string_view subtitle,
                                        std::vector<ControlTemplate> controls) {
  std::vector<ControlTemplate> all = {
      {.id = 1111, .kind = K::BitmapBand, .text = "", .rect = kHeaderBand, .bitmap = 111},
      {.id = 1043, .kind = K::Title, .text = title, .rect = kHeaderTitle},
      {.id = 1096, .kind = K::Static, .text = subtitle, .rect = kHeaderSubtitle},
  };
  all.insert(all.end(), controls.begin(), controls.end());
  return all;
}

DialogTemplate setupOptions() {
  return wizardPage(
      102, true,
      {
          {.id = 1080, .kind = K::BitmapBand, .text = "", .rect = kSideBand, .bitmap = 110},
          {.id = 1107, .kind = K::Static, .text = "", .rect = {4, 162, 103, 8}, .align = A::Centre},
          {.id = 1109,
           .kind = K::Static,
           .text = "",
           .rect = {4, 174, 103, 10},
           .align = A::Centre},
          {.id = 1043, .kind = K::Title, .text = "Setup Options", .rect = kSideBandTitle},
          {.id = 1034,
           .kind = K::RadioButton,
           .text = "Install Application from &Internet",
           .rect = {118, 32, 206, 10}},
          {.id = -1,
           .kind = K::Static,
           .text = "Download Kestrova and install it on this computer. ",
           .rect = {130, 43, 194, 8}},
          {.id = 1095,
           .kind = K::CheckBox,
           .text = "Delete installation files after install.",
           .rect = {130, 54, 194, 10}},
          {.id = 1040,
           .kind = K::RadioButton,
           .text = "Install Application from &Local Archives",
           .rect = {118, 70, 206, 10}},
          {.id = -1,
           .kind = K::Static,
           .text = "Install Kestrova from local installation files.\n",
           .rect = {130, 81, 194, 8}},
          {.id = 1035,
           .kind = K::RadioButton,
           .text = "&Download Only",
           .rect = {118, 95, 206, 10}},
          {.id = -1,
           .kind = K::Static,
           .text = "Download installation files to install it later or copy files to another "
                   "computer and run the installation.",
           .rect = {130, 106, 194, 16}},
          {.id = 1036,
           .kind = K::RadioButton,
           .text = "&Uninstall Application",
           .rect = {118, 128, 206, 10},
           .disabled = true},
          {.id = -1,
           .kind = K::GroupBox,
           .text = "Directory of previous Installation",
           .rect = {118, 144, 206, 30}},
          {.id = 1078, .kind = K::Static, .text = "", .rect = {124, 158, 166, 8}, .row = 1},
          {.id = 1110, .kind = K::PushButton, .text = "...", .rect = {296, 156, 22, 12}, .row = 1},
      });
}

DialogTemplate localArchiveFolder() {
  return wizardPage(
      153, false,
      headerPage("Local Archive Folder",
                 "Select the folder of your local installation packages here.",
                 {
                     {.id = 1037,
                      .kind = K::Static,
                      .text = "Local Archive Folder:",
                      .rect = {7, 50, 317, 8}},
                     {.id = 1003, .kind = K::Edit, .text = "", .rect = {7, 61, 291, 12}, .row = 1},
                     {.id = 1092,
                      .kind = K::PushButton,
                      .text = "...",
                      .rect = {302, 61, 22, 12},
                      .row = 1},
                 }));
}

DialogTemplate destinationFolders() {
  return wizardPage(
      104, false,
      headerPage(
          "Destination Folders", "Select the download and installation folder here.",
          {
              {.id = 1094,
               .kind = K::Static,
               .text = "Type the path to the folder where you want to download the installation "
                       "packages.",
               .rect = {7, 46, 317, 16}},
              {.id = 1037, .kind = K::Static, .text = "Download folder:", .rect = {7, 64, 317, 8}},
              {.id = 1005, .kind = K::Edit, .text = "", .rect = {7, 75, 291, 12}, .row = 1},
              {.id = 1006,
               .kind = K::PushButton,
               .text = "...",
               .rect = {302, 75, 22, 12},
               .row = 1},
              {.id = 1012,
               .kind = K::Static,
               .text = "Type the path to the folder where you want to install Kestrova.",
               .rect = {7, 98, 317, 16}},
              {.id = 1036,
               .kind = K::Static,
               .text = "Install in folder:",
               .rect = {7, 116, 317, 8}},
              {.id = 1034, .kind = K::Edit, .text = "", .rect = {7, 127, 291, 12}, .row = 2},
              {.id = 1004,
               .kind = K::PushButton,
               .text = "...",
               .rect = {302, 127, 22, 12},
               .row = 2},
          }));
}

// The header is a picture control of its own, 331 x 34 units, not a band the
// page paints.
DialogTemplate downloadLocation() {
  return wizardPage(
      147, false,
      {
          {.id = -1, .kind = K::Picture, .text = "", .rect = {0, 0, 331, 34}, .bitmap = 111},
          {.id = 1043, .kind = K::Title, .text = "Dowload Location", .rect = kHeaderTitle},
          {.id = 1096,
           .kind = K::Static,
           .text = "Select the primary download location here.",
           .rect = kHeaderSubtitle},
          {.id = 1037,
           .kind = K::Static,
           .text = "Select primary download location:",
           .rect = {7, 50, 317, 8}},
          // The height includes the list that drops down.
          {.id = 1105, .kind = K::ComboList, .text = "", .rect = {7, 61, 317, 100}},
          {.id = -1,
           .kind = K::Static,
           .text = "If the primary download location is not available the setup automatically "
                   "enumerates through all other download locations.",
           .rect = {7, 84, 317, 24}},
      });
}

DialogTemplate componentOptions() {
  const auto versionRow = [](int label, std::string_view text, int value, int y, int row) {
    return std::vector<ControlTemplate>{
        {.id = label, .kind = K::Static, .text = text, .rect = {190, y, 44, 8}, .row = row},
        {.id = -1, .kind = K::Static, .text = ":", .rect = {234, y, 6, 8}, .row = row},
        {.id = value, .kind = K::Static, .text = "", .rect = {242, y, 76, 8}, .row = row},
    };
  };
  std::vector<ControlTemplate> controls = {
      {.id = 1068, .kind = K::TreeView, .text = "", .rect = {7, 42, 317, 72}},
      // The status line lies over the middle of the tree while the tree is empty.
      {.id = 1042, .kind = K::Static, .text = "", .rect = {12, 74, 307, 8}, .align = A::Centre},
      // The version-info file's progress, under the status line.
      {.id = 1032, .kind = K::ProgressBar, .text = "", .rect = {12, 86, 307, 6}, .hidden = true},
      {.id = -1, .kind = K::GroupBox, .text = "Description", .rect = {7, 118, 317, 72}},
      {.id = 1087, .kind = K::Static, .text = "", .rect = {14, 129, 168, 56}},
  };
  for (const auto& row :
       {versionRow(1101, "Installed", 1098, 129, 1), versionRow(1102, "Available", 1099, 139, 2),
        versionRow(1103, "Required", 1100, 149, 3)}) {
    controls.insert(controls.end(), row.begin(), row.end());
  }
  controls.insert(controls.end(), {
                                      {.id = 1088,
                                       .kind = K::Static,
                                       .text = "Package size:",
                                       .rect = {190, 163, 60, 8},
                                       .row = 4},
                                      {.id = 1075,
                                       .kind = K::Static,
                                       .text = "",
                                       .rect = {250, 163, 68, 8},
                                       .row = 4,
                                       .align = A::Right},
                                      {.id = 1086,
                                       .kind = K::Static,
                                       .text = "Download size:",
                                       .rect = {190, 174, 60, 8},
                                       .row = 5},
                                      {.id = 1076,
                                       .kind = K::Static,
                                       .text = "",
                                       .rect = {250, 174, 68, 8},
                                       .row = 5,
                                       .align = A::Right},
                                  });
  return wizardPage(1084, false,
                    headerPage("Component Options", "Choose specific components here.", controls));
}

DialogTemplate downloadAndInstall() {
  return wizardPage(
      105, false,
      headerPage(
          "Download && Install", "The components get download and installed here.",
          {
              {.id = -1, .kind = K::Static, .text = "Install Progress:", .rect = {7, 42, 317, 8}},
              {.id = 1070, .kind = K::ListView, .text = "", .rect = {7, 52, 317, 48}},
              {.id = 1042, .kind = K::Static, .text = "", .rect = {7, 103, 317, 8}},
              {.id = 1032,
               .kind = K::ProgressBar,
               .text = "",
               .rect = {7, 113, 317, 6},
               .hidden = true},
              {.id = 1033, .kind = K::Static, .text = "", .rect = {7, 121, 317, 8}},
              {.id = -1,
               .kind = K::GroupBox,
               .text = "Download Details",
               .rect = {7, 130, 317, 60}},
              {.id = 1064, .kind = K::ReadOnlyEdit, .text = "", .rect = {14, 142, 303, 10}},
              {.id = -1,
               .kind = K::Static,
               .text = "Download to:",
               .rect = {14, 157, 46, 8},
               .row = 1},
              {.id = 1065,
               .kind = K::ReadOnlyEdit,
               .text = "",
               .rect = {62, 156, 255, 10},
               .row = 1},
              {.id = 1067, .kind = K::Static, .text = "", .rect = {14, 172, 303, 8}},
          }));
}

DialogTemplate integration() {
  return wizardPage(
      106, false,
      headerPage(
          "Integration", "Select the locations where you want to create shortcuts.",
          {
              {.id = 1157,
               .kind = K::Icon,
               .text = "",
               .rect = {7, 46, 20, 20},
               .bitmap = kSetupIconResource},
              {.id = -1,
               .kind = K::GroupBox,
               .text = "Desktop Integration",
               .rect = {36, 42, 288, 42}},
              {.id = -1,
               .kind = K::Static,
               .text = "Place a shortcut to Kestrova on the desktop.",
               .rect = {44, 54, 272, 8}},
              {.id = 1073,
               .kind = K::CheckBox,
               .text = "Add to Desktop",
               .rect = {44, 66, 272, 10}},
              {.id = -1,
               .kind = K::GroupBox,
               .text = "Start Menu Integration",
               .rect = {36, 90, 288, 76}},
              {.id = -1,
               .kind = K::Static,
               .text = "Add a Kestrova program group with shortcuts to the Start menu.",
               .rect = {44, 102, 272, 8}},
              {.id = 1074,
               .kind = K::CheckBox,
               .text = "Add to user's program groups",
               .rect = {44, 114, 272, 10}},
              {.id = 1075,
               .kind = K::CheckBox,
               .text = "Add to common program groups",
               .rect = {44, 128, 272, 10}},
              {.id = 1104,
               .kind = K::Static,
               .text = "Add items to common program groups that appear on the Start menu for all "
                       "users. WinNT only.",
               .rect = {56, 141, 260, 16}},
          }));
}

// The restart text stands where the ready text does; only one is shown.
DialogTemplate installationComplete() {
  return wizardPage(
      107, true,
      {
          {.id = 1080,
           .kind = K::BitmapBand,
           .text = "",
           .rect = kSideBand,
           .hidden = true,
           .bitmap = 110},
          {.id = 1043, .kind = K::Title, .text = "Installation Complete", .rect = kSideBandTitle},
          {.id = 1047,
           .kind = K::Static,
           .text = "The components installed are now ready for use.",
           .rect = {118, 40, 206, 16}},
          {.id = 1046,
           .kind = K::Static,
           .text = "Click the Finish button to restart the machine.",
           .rect = {118, 40, 206, 16}},
      });
}

// The dialogs of a download that could not be completed: Proxy Settings
// (110), the Retry question (164) and the password question of a server or
// proxy. Their buttons share a row at the bottom right.
DialogTemplate proxySettings() {
  return {
      kIddProxySettings,
      kProxyDialogCaption,
      false,
      {
          {.id = -1, .kind = K::Static, .text = kProxyDialogPrompt, .rect = {7, 7, 206, 8}},
          {.id = -1, .kind = K::GroupBox, .text = kProxyGroupTitle, .rect = {7, 20, 206, 62}},
          {.id = kIdcUseProxy,
           .kind = K::CheckBox,
           .text = kUseProxyLabel,
           .rect = {14, 33, 192, 10}},
          {.id = kIdcProxyLabel,
           .kind = K::Static,
           .text = kProxyLabel,
           .rect = {14, 52, 28, 8},
           .row = 1},
          {.id = kIdcProxyServer, .kind = K::Edit, .text = "", .rect = {44, 50, 110, 12}, .row = 1},
          {.id = -1,
           .kind = K::Static,
           .text = kProxyFormatHint,
           .rect = {158, 52, 48, 8},
           .row = 1},
          {.id = kIdOk,
           .kind = K::PushButton,
           .text = kOkLabel,
           .rect = {109, 90, 50, 14},
           .row = 2},
          {.id = kIdCancel,
           .kind = K::PushButton,
           .text = kCancelLabel,
           .rect = {163, 90, 50, 14},
           .row = 2},
      },
      220,
      112,
      "MS Sans Serif"};
}

DialogTemplate retryDownload() {
  return {
      kIddRetryDownload,
      kRetryDialogCaption,
      false,
      {
          {.id = kIdcRetryIcon,
           .kind = K::Icon,
           .text = "",
           .rect = {7, 7, 21, 20},
           .bitmap = kSystemExclamationIcon,
           .row = 1},
          {.id = kIdcRetryProblem,
           .kind = K::Static,
           .text = kRetryDialogProblem,
           .rect = {36, 8, 217, 16},
           .row = 1},
          {.id = -1, .kind = K::Static, .text = kRetryDialogProxyHint, .rect = {36, 28, 217, 24}},
          {.id = -1, .kind = K::Static, .text = kRetryDialogBusyHint, .rect = {36, 56, 217, 24}},
          {.id = kIdOk,
           .kind = K::PushButton,
           .text = kRetryLabel,
           .rect = {96, 92, 50, 14},
           .row = 2},
          {.id = kIdCancel,
           .kind = K::PushButton,
           .text = kCancelLabel,
           .rect = {150, 92, 50, 14},
           .row = 2},
          {.id = kIdcAdvanced,
           .kind = K::PushButton,
           .text = kAdvancedLabel,
           .rect = {204, 92, 50, 14},
           .row = 2},
      },
      260,
      114};
}

DialogTemplate networkPassword() {
  return {
      .id = kIddPassword,
      .caption = kPasswordDialogCaption,
      .sideBand = false,
      .controls =
          {
              {.id = kIdcPasswordPrompt, .kind = K::Static, .text = "", .rect = {7, 7, 216, 16}},
              {.id = -1,
               .kind = K::Static,
               .text = kPasswordUserNameLabel,
               .rect = {7, 30, 50, 8},
               .row = 1},
              {.id = kIdcPasswordUserName,
               .kind = K::Edit,
               .text = "",
               .rect = {60, 28, 163, 12},
               .row = 1},
              {.id = -1,
               .kind = K::Static,
               .text = kPasswordPasswordLabel,
               .rect = {7, 46, 50, 8},
               .row = 2},
              {.id = kIdcPasswordPassword,
               .kind = K::Edit,
               .text = "",
               .rect = {60, 44, 163, 12},
               .row = 2},
              {.id = kIdOk,
               .kind = K::PushButton,
               .text = kOkLabel,
               .rect = {119, 66, 50, 14},
               .row = 3},
              {.id = kIdCancel,
               .kind = K::PushButton,
               .text = kCancelLabel,
               .rect = {173, 66, 50, 14},
               .row = 3},
          },
      .cx = 230,
      .cy = 86};
}

}  // namespace

const ControlTemplate* DialogTemplate::control(int controlId) const {
  for (const ControlTemplate& c : controls) {
    if (c.id == controlId) return &c;
  }
  return nullptr;
}

const std::vector<DialogTemplate>& allDialogTemplates() {
  static const std::vector<DialogTemplate> templates = {
      setupOptions(),     localArchiveFolder(), componentOptions(), destinationFolders(),
      downloadLocation(), downloadAndInstall(), integration(),      installationComplete(),
      proxySettings(),    retryDownload(),      networkPassword()};
  return templates;
}

const DialogTemplate* findDialogTemplate(int id) {
  for (const DialogTemplate& dialog : allDialogTemplates()) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

}  // namespace ks
