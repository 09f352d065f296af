#include "app/uninstall.h"

#include <cstdint>
#include <vector>

#include "app/message_captions.h"
#include "app/paths.h"
#include "app/uninstall_files.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace ks {

namespace {

constexpr const char* kNoInstallation = "Registry key not found.";
constexpr const char* kProductKeyStays = "Could not delete registry values.";
constexpr const char* kUninstallKeyStays = "Could not delete Uninstall string.";
constexpr const char* kProgramName = "Kestrova";

constexpr const char* kFolderKeptNote =
    "\n\nThe folder '%s' was kept because it holds other files.";

UninstallResult fail(SetupContext& context, const char* text, UninstallResult removal = {}) {
  context.platform.dialogs->messageBox(
      {text, kErrorCaption, MessageIcon::Error, MessageButtons::Ok});
  removal.result = 0;
  return removal;
}

void deleteDesktopShortcut(SetupContext& context) {
  std::string desktop;
  if (!context.platform.shell->specialFolder(SpecialFolder::Desktop, desktop)) return;
  const std::string name = std::string(kProgramName) + context.platform.shell->shortcutExtension();
  if (pathFits(*context.platform.fileSystem, joinPath(desktop, name))) {
    context.platform.fileSystem->deleteFile(desktop, name);
  }
}

void deleteProgramGroup(SetupContext& context, SpecialFolder where) {
  std::string programs;
  if (!context.platform.shell->specialFolder(where, programs)) return;
  if (pathFits(*context.platform.fileSystem, joinPath(programs, kProgramName))) {
    deleteTree(context, programs, kProgramName);
  }
}

// Deletes the direct subkeys of the product key by the names they had when
// counted, so none is passed over while the list shrinks. A subkey with
// subkeys of its own stays (NT family).
void deleteProductSubkeys(Registry& registry) {
  std::uint32_t count = 0;
  if (!registry.openKey(RegistryRoot::CurrentUser, kProductKey) ||
      !registry.subkeyCount(RegistryRoot::CurrentUser, kProductKey, count)) {
    return;
  }
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0;
       i < count && registry.enumSubkey(RegistryRoot::CurrentUser, kProductKey, i, name); ++i) {
    names.push_back(name);
  }
  for (const std::string& subkey : names) {
    registry.deleteKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\" + subkey);
  }
}

}  // namespace

void deleteTree(SetupContext& context, const std::string& root, const std::string& below) {
  FileSystem& files = *context.platform.fileSystem;
  std::vector<FileSystem::FolderEntry> entries;
  const std::string folder = below.empty() ? root : joinPath(root, below);
  if (files.listFolder(folder, entries)) {
    for (const FileSystem::FolderEntry& entry : entries) {
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = below.empty() ? entry.name : joinPath(below, entry.name);
      if (!pathFits(files, joinPath(root, path))) continue;
      if (entry.isFolder) {
        deleteTree(context, root, path);
      } else {
        files.deleteFile(root, path);
      }
    }
  }
  files.removeFolder(root, below);
}

bool uninstallComplete(const UninstallResult& removal) {
  return removal.result == 1 && !removal.filesRemain;
}

std::string uninstallClosingMessage(const UninstallResult& removal, const std::string& installDir) {
  if (!uninstallComplete(removal)) return kUninstallIncomplete;
  std::string text = removal.setupProgramGone ? kUninstallSucceededSetupGone : kUninstallSucceeded;
  if (removal.folderKept) {
    const std::size_t at = std::string_view(kFolderKeptNote).find("%s");
    text += std::string(kFolderKeptNote).replace(at, 2, installDir);
  }
  return text;
}

// The manifest, being a subkey of the product key, goes with it. An
// uninstall entry that was never written (the setup could not copy itself)
// is not missing.
UninstallResult uninstallApplication(SetupContext& context, PackageContents packageContents) {
  UninstallResult removal;
  if (context.state.installDir.empty()) return fail(context, kNoInstallation);
  removeInstalledFiles(context, packageContents, removal);
  deleteDesktopShortcut(context);
  deleteProgramGroup(context, SpecialFolder::Programs);
  deleteProgramGroup(context, SpecialFolder::CommonPrograms);

  Registry& registry = *context.platform.registry;
  if (context.platform.systemInfo->isWindowsNT()) deleteProductSubkeys(registry);
  if (!registry.deleteKey(RegistryRoot::CurrentUser, kProductKey)) {
    return fail(context, kProductKeyStays, removal);
  }
  if (registry.openKey(RegistryRoot::LocalMachine, kUninstallKey) &&
      !registry.deleteKey(RegistryRoot::LocalMachine, kUninstallKey)) {
    return fail(context, kUninstallKeyStays, removal);
  }
  removal.result = 1;
  const std::string& setupPath = context.state.setupPath;
  removal.setupProgramGone =
      !setupPath.empty() && !context.platform.fileSystem->pathExists(setupPath);
  return removal;
}

}  // namespace ks
