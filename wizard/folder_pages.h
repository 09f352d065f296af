#pragma once
// The two pages that settle the folders: Local Archive Folder (local mode
// only) and Destination Folders (every installing or downloading mode).

#include <string>

#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kLocalArchiveTemplate = 153;
inline constexpr int kIdcLocalArchiveEdit = 1003;
inline constexpr int kIdcBrowseLocalArchive = 1092;

inline constexpr int kDestinationFoldersTemplate = 104;
inline constexpr int kIdcDownloadExplanation = 1094;
inline constexpr int kIdcDownloadLabel = 1037;
inline constexpr int kIdcDownloadEdit = 1005;
inline constexpr int kIdcBrowseDownload = 1006;
inline constexpr int kIdcInstallExplanation = 1012;
inline constexpr int kIdcInstallLabel = 1036;
inline constexpr int kIdcInstallEdit = 1034;
inline constexpr int kIdcBrowseInstall = 1004;

// The string table of the setup.
inline constexpr const char* kAskCreateFolder =
    "The folder '%s' does not exist.\nDo you want to create it?";
inline constexpr const char* kCannotCreateFolder =
    "Setup could not create the folder '%s'.\nPlease make sure it is a valid folder name, and "
    "then try again. Or try a different folder name.";

// The folder proposed for downloaded packages: "C:\Kestrova Setup" on
// Windows, the same name in the user's home folder elsewhere.
std::string defaultSetupFolder(SetupContext& context);

// Why a folder can't be taken, as the page says it; "" when it can. Any
// folder: a path too long for the platform. The installation folder also:
// a protected folder (a root, the home folder or one that holds it, ...).
std::string folderPathRefusal(SetupContext& context, const std::string& folder);
std::string installFolderRefusal(SetupContext& context, const std::string& folder);

class LocalArchivePage final : public HeaderPage {
 public:
  explicit LocalArchivePage(SetupContext& context) : HeaderPage(context, kLocalArchiveTemplate) {}
  ActivateAnswer onActivate(Direction direction) override;
  NextAnswer onNext() override;
  void onCommand(int controlId) override;
};

class DestinationFoldersPage final : public HeaderPage {
 public:
  explicit DestinationFoldersPage(SetupContext& context)
      : HeaderPage(context, kDestinationFoldersTemplate) {}
  ActivateAnswer onActivate(Direction direction) override;
  NextAnswer onNext() override;
  void onCommand(int controlId) override;

 private:
  void enableGroups();
  void proposeFolders();
  bool installFolderAccepted();
  bool downloadFolderAccepted();
  // Asks to create a missing folder and creates it; false to stay.
  bool folderExistsOrCreated(const std::string& folder);
  bool applicationRunsFrom(const std::string& folder);
};

}  // namespace ks
