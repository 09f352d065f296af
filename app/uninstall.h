#pragma once
// Removing an installed Kestrova: the files the setup put into the
// installation folder, the folders that became empty, the shortcuts, the
// program groups and both registry keys. Files the user keeps in the folder
// stay, and so does the folder then.

#include <string>
#include <vector>

#include "app/setup_context.h"

namespace ks {

// The texts around an uninstallation, shared by the command line and the
// Setup Options page.
inline constexpr const char* kUninstallQuestion =
    "Are you sure you want to uninstall this application?";
inline constexpr const char* kUninstallSucceeded =
    "Application successfully uninstalled\nYou've to delete the uninstallation executable file "
    "on your own.";
// The same when the setup program's own file went with the installation
// (it ran from there, and the system lets a running program's file go).
inline constexpr const char* kUninstallSucceededSetupGone = "Application successfully uninstalled";
inline constexpr const char* kUninstallIncomplete =
    "Not all parts of the application could be removed!";
inline constexpr const char* kUninstallCaption = "Uninstall";

struct UninstallResult {
  // 1 when the product key and the uninstall key were both deleted (a key
  // that was never written counts as deleted), else 0 (after saying why).
  int result = 0;
  // A file the setup had put there could not be removed (the running setup
  // program's own file, which the user deletes by hand, does not count).
  bool filesRemain = false;
  // The installation folder stays: it holds files the setup did not put there.
  bool folderKept = false;
  // The running setup program's file is gone too: nobody has to delete it.
  bool setupProgramGone = false;
};

// True when nothing of the application is left but the running setup program.
bool uninstallComplete(const UninstallResult& removal);

// The closing message for a removal: the success text (with a note when the
// folder was kept; without the request to delete the setup program when it
// is gone) when it was complete, else "Not all parts ...".
std::string uninstallClosingMessage(const UninstallResult& removal, const std::string& installDir);

// The files a package of the catalog puts into the installation folder,
// relative to it, found without installing it (install/package_contents.h);
// false when the package can't be read.
using PackageContents = bool (*)(SetupContext& context, const Component& component,
                                 const std::string& packagePath, std::vector<std::string>& names);

// Removes the installation. With a manifest exactly the files it names go,
// then the folders that became empty. An installation made before the
// manifest existed goes whole only when its folder holds nothing but what
// can be identified as the setup's (the setup copy of the uninstall entry;
// with packageContents, what the packages of a version-info file beside the
// setup program name); otherwise only those files go. A protected folder
// (app/protected_folders.h) is never touched.
UninstallResult uninstallApplication(SetupContext& context,
                                     PackageContents packageContents = nullptr);

// Removes the folder root/below (below empty: root itself) with its files
// and subfolders as far as the file system allows. Below root nothing is
// reached through a symbolic link: a link is removed as a link, its target
// never entered. Entries whose path is too long for the platform stay.
void deleteTree(SetupContext& context, const std::string& root, const std::string& below);

}  // namespace ks
