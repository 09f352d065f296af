#pragma once
// Removing an installed Kestrova: the installation folder, the shortcuts,
// the program groups and both registry keys.

#include <string>

#include "app/setup_context.h"

namespace ks {

// The texts around an uninstallation, shared by the command line and the
// Setup Options page.
inline constexpr const char* kUninstallQuestion =
    "Are you sure you want to uninstall this application?";
inline constexpr const char* kUninstallSucceeded =
    "Application successfully uninstalled\nYou've to delete the uninstallation executable file "
    "on your own.";
inline constexpr const char* kUninstallCaption = "Uninstall";

// 1 when the product key and the uninstall key were both deleted, else 0
// (after showing why). File removal is silent and does not change the result.
int uninstallApplication(SetupContext& context);

// Removes the folder root/below (below empty: root itself) with its files
// and subfolders as far as the file system allows. Below root nothing is
// reached through a symbolic link: a link is removed as a link, its target
// never entered. Entries whose path is too long for the platform stay.
void deleteTree(SetupContext& context, const std::string& root, const std::string& below);

}  // namespace ks
