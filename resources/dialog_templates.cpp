#include "resources/dialog_templates.h"

#include <array>

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

const std::array<DialogTemplate, 4>& allTemplates() {
  static const std::array<DialogTemplate, 4> templates = {setupOptions(), localArchiveFolder(),
                                                          destinationFolders(), downloadLocation()};
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
