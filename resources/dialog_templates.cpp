#include "resources/dialog_templates.h"

#include <vector>

#include "download/proxy_dialog.h"
#include "download/retry_dialog.h"
#include "resources/dialog_resources.h"

namespace ks {

namespace {

using K = ControlKind;

DialogTemplate setupOptions() {
  return {102,
          kWizardCaption,
          true,
          {
              {1080, K::BitmapBand, "", false, false, 110},
              {1107, K::Static, ""},
              {1109, K::Static, ""},
              {1043, K::Title, "Setup Options"},
              {1034, K::RadioButton, "Install Application from &Internet"},
              {-1, K::Static, "Download Kestrova and install it on this computer. "},
              {1095, K::CheckBox, "Delete installation files after install."},
              {1040, K::RadioButton, "Install Application from &Local Archives"},
              {-1, K::Static, "Install Kestrova from local installation files.\n"},
              {1035, K::RadioButton, "&Download Only"},
              {-1, K::Static,
               "Download installation files to install it later or copy files to another "
               "computer and run the installation."},
              {1036, K::RadioButton, "&Uninstall Application", true},
              {-1, K::GroupBox, "Directory of previous Installation"},
              {1078, K::Static, "", false, false, 0, 1},
              {1110, K::PushButton, "...", false, false, 0, 1},
          }};
}

DialogTemplate localArchiveFolder() {
  return {153,
          kWizardCaption,
          false,
          {
              {1111, K::BitmapBand, "", false, false, 111},
              {1043, K::Title, "Local Archive Folder"},
              {1096, K::Static, "Select the folder of your local installation packages here."},
              {1037, K::Static, "Local Archive Folder:"},
              {1003, K::Edit, "", false, false, 0, 1},
              {1092, K::PushButton, "...", false, false, 0, 1},
          }};
}

DialogTemplate destinationFolders() {
  return {104,
          kWizardCaption,
          false,
          {
              {1111, K::BitmapBand, "", false, false, 111},
              {1043, K::Title, "Destination Folders"},
              {1096, K::Static, "Select the download and installation folder here."},
              {1094, K::Static,
               "Type the path to the folder where you want to download the installation "
               "packages."},
              {1037, K::Static, "Download folder:"},
              {1005, K::Edit, "", false, false, 0, 1},
              {1006, K::PushButton, "...", false, false, 0, 1},
              {1012, K::Static, "Type the path to the folder where you want to install Kestrova."},
              {1036, K::Static, "Install in folder:"},
              {1034, K::Edit, "", false, false, 0, 2},
              {1004, K::PushButton, "...", false, false, 0, 2},
          }};
}

DialogTemplate downloadLocation() {
  return {147,
          kWizardCaption,
          false,
          {
              {-1, K::Picture, "", false, false, 111},
              {1043, K::Title, "Dowload Location"},
              {1096, K::Static, "Select the primary download location here."},
              {1037, K::Static, "Select primary download location:"},
              {1105, K::ComboList, ""},
              {-1, K::Static,
               "If the primary download location is not available the setup automatically "
               "enumerates through all other download locations."},
          }};
}

DialogTemplate componentOptions() {
  return {1084,
          kWizardCaption,
          false,
          {
              {1111, K::BitmapBand, "", false, false, 111},
              {1043, K::Title, "Component Options"},
              {1096, K::Static, "Choose specific components here."},
              {1068, K::TreeView, ""},
              {1042, K::Static, ""},
              {1032, K::ProgressBar, "", false, true},
              {-1, K::GroupBox, "Description"},
              {1087, K::Static, ""},
              {1101, K::Static, "Installed", false, false, 0, 1},
              {-1, K::Static, ":", false, false, 0, 1},
              {1098, K::Static, "", false, false, 0, 1},
              {1102, K::Static, "Available", false, false, 0, 2},
              {-1, K::Static, ":", false, false, 0, 2},
              {1099, K::Static, "", false, false, 0, 2},
              {1103, K::Static, "Required", false, false, 0, 3},
              {-1, K::Static, ":", false, false, 0, 3},
              {1100, K::Static, "", false, false, 0, 3},
              {1088, K::Static, "Package size:", false, false, 0, 4},
              {1075, K::Static, "", false, false, 0, 4},
              {1086, K::Static, "Download size:", false, false, 0, 5},
              {1076, K::Static, "", false, false, 0, 5},
          }};
}

DialogTemplate downloadAndInstall() {
  return {105,
          kWizardCaption,
          false,
          {
              {1111, K::BitmapBand, "", false, false, 111},
              {1043, K::Title, "Download && Install"},
              {1096, K::Static, "The components get download and installed here."},
              {-1, K::Static, "Install Progress:"},
              {1070, K::ListView, ""},
              {1042, K::Static, ""},
              {1032, K::ProgressBar, "", false, true},
              {1033, K::Static, ""},
              {-1, K::GroupBox, "Download Details"},
              {1064, K::ReadOnlyEdit, ""},
              {-1, K::Static, "Download to:", false, false, 0, 1},
              {1065, K::ReadOnlyEdit, "", false, false, 0, 1},
              {1067, K::Static, ""},
          }};
}

DialogTemplate integration() {
  return {106,
          kWizardCaption,
          false,
          {
              {1111, K::BitmapBand, "", false, false, 111},
              {1043, K::Title, "Integration"},
              {1096, K::Static, "Select the locations where you want to create shortcuts."},
              {1157, K::Icon, ""},
              {-1, K::GroupBox, "Desktop Integration"},
              {-1, K::Static, "Place a shortcut to Kestrova on the desktop."},
              {1073, K::CheckBox, "Add to Desktop"},
              {-1, K::GroupBox, "Start Menu Integration"},
              {-1, K::Static, "Add a Kestrova program group with shortcuts to the Start menu."},
              {1074, K::CheckBox, "Add to user's program groups"},
              {1075, K::CheckBox, "Add to common program groups"},
              {1104, K::Static,
               "Add items to common program groups that appear on the Start menu for all users. "
               "WinNT only."},
          }};
}

DialogTemplate installationComplete() {
  return {107,
          kWizardCaption,
          true,
          {
              {1080, K::BitmapBand, "", false, true, 110},
              {1043, K::Title, "Installation Complete"},
              {1047, K::Static, "The components installed are now ready for use."},
              {1046, K::Static, "Click the Finish button to restart the machine."},
          }};
}

// The dialogs of a download that could not be completed: Proxy Settings
// (110), the Retry question (164) and the password question of a server or
// proxy. Their buttons share a row at the bottom.
DialogTemplate proxySettings() {
  return {kIddProxySettings,
          kProxyDialogCaption,
          false,
          {
              {-1, K::Static, kProxyDialogPrompt},
              {-1, K::GroupBox, kProxyGroupTitle},
              {kIdcUseProxy, K::CheckBox, kUseProxyLabel},
              {kIdcProxyLabel, K::Static, kProxyLabel, false, false, 0, 1},
              {kIdcProxyServer, K::Edit, "", false, false, 0, 1},
              {-1, K::Static, kProxyFormatHint, false, false, 0, 1},
              {kIdOk, K::PushButton, kOkLabel, false, false, 0, 2},
              {kIdCancel, K::PushButton, kCancelLabel, false, false, 0, 2},
          }};
}

DialogTemplate retryDownload() {
  return {kIddRetryDownload,
          kRetryDialogCaption,
          false,
          {
              {kIdcRetryIcon, K::Icon, "", false, false, kSystemExclamationIcon, 1},
              {kIdcRetryProblem, K::Static, kRetryDialogProblem, false, false, 0, 1},
              {-1, K::Static, kRetryDialogProxyHint},
              {-1, K::Static, kRetryDialogBusyHint},
              {kIdOk, K::PushButton, kRetryLabel, false, false, 0, 2},
              {kIdCancel, K::PushButton, kCancelLabel, false, false, 0, 2},
              {kIdcAdvanced, K::PushButton, kAdvancedLabel, false, false, 0, 2},
          }};
}

DialogTemplate networkPassword() {
  return {kIddPassword,
          kPasswordDialogCaption,
          false,
          {
              {kIdcPasswordPrompt, K::Static, ""},
              {-1, K::Static, kPasswordUserNameLabel, false, false, 0, 1},
              {kIdcPasswordUserName, K::Edit, "", false, false, 0, 1},
              {-1, K::Static, kPasswordPasswordLabel, false, false, 0, 2},
              {kIdcPasswordPassword, K::Edit, "", false, false, 0, 2},
              {kIdOk, K::PushButton, kOkLabel, false, false, 0, 3},
              {kIdCancel, K::PushButton, kCancelLabel, false, false, 0, 3},
          }};
}

const std::vector<DialogTemplate>& allTemplates() {
  static const std::vector<DialogTemplate> templates = {
      setupOptions(),     localArchiveFolder(), componentOptions(), destinationFolders(),
      downloadLocation(), downloadAndInstall(), integration(),      installationComplete(),
      proxySettings(),    retryDownload(),      networkPassword()};
  return templates;
}

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
  for (const DialogTemplate& dialog : allTemplates()) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

}  // namespace ks
