#include "app/uninstall_files.h"

#include <algorithm>
#include <set>

#include "app/install_manifest.h"
#include "app/path_compare.h"
#include "app/paths.h"
#include "app/protected_folders.h"
#include "catalog/catalog_records.h"
#include "catalog/version_catalog.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace ks {

namespace {

constexpr std::string_view kUninstallArgumentSuffix = " -uninstall";

// The setup copy's name in the installation folder, as the uninstall entry
// runs it ("<folder>/<name> -uninstall", maybe quoted); "" when it runs
// something elsewhere.
std::string setupCopyName(SetupContext& context) {
  std::string command;
  if (!context.platform.registry->readValue(RegistryRoot::LocalMachine, kUninstallKey,
                                            "UninstallString", command) ||
      !command.ends_with(kUninstallArgumentSuffix)) {
    return {};
  }
  command.resize(command.size() - kUninstallArgumentSuffix.size());
  if (command.size() >= 2 && command.front() == '"' && command.back() == '"') {
    command = command.substr(1, command.size() - 2);
  }
  const SplitPath split = splitAtLastSeparator(command);
  const bool inFolder =
      samePath(*context.platform.fileSystem, split.folder, context.state.installDir);
  return inFolder ? split.name : std::string();
}

// What the packages of the version-info file beside the setup program put
// into the installation folder, the packages looked for beside it too (where
// an Internet installation keeps them unless told otherwise).
void addCatalogFiles(SetupContext& context, PackageContents packageContents,
                     std::vector<std::string>& names) {
  const std::string versionInfo = joinPath(context.state.setupDir, kVersionInfoFileName);
  if (!packageContents || !context.platform.fileSystem->pathExists(versionInfo)) return;
  loadVersionCatalog(context, versionInfo);
  const VersionCatalog& catalog = context.catalog;
  for (int i = 0; i < catalog.componentCount; ++i) {
    const Component& component = *catalog.components[static_cast<std::size_t>(i)];
    std::string package;
    if (makePackagePath(*context.platform.fileSystem, context.state.setupDir, component, package)) {
      packageContents(context, component, package, names);
    }
  }
}

// Every file below the folder, by its name relative to it.
void listFilesBelow(FileSystem& files, const std::string& folder, const std::string& prefix,
                    std::vector<std::string>& names) {
  std::vector<FileSystem::FolderEntry> entries;
  if (!files.listFolder(folder, entries)) return;
  for (const FileSystem::FolderEntry& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string name = prefix.empty() ? entry.name : joinPath(prefix, entry.name);
    if (entry.isFolder) {
      listFilesBelow(files, joinPath(folder, entry.name), name, names);
    } else {
      names.push_back(name);
    }
  }
}

bool holdsOnly(SetupContext& context, const std::vector<std::string>& known) {
  std::vector<std::string> present;
  listFilesBelow(*context.platform.fileSystem, context.state.installDir, "", present);
  const std::set<std::string> allowed(known.begin(), known.end());
  return std::all_of(present.begin(), present.end(),
                     [&](const std::string& name) { return allowed.count(name) > 0; });
}

// The folders of the names, deepest first.
std::vector<std::string> foldersOf(const std::vector<std::string>& names) {
  std::set<std::string> folders;
  for (const std::string& name : names) {
    for (std::string folder = splitAtLastSeparator(name).folder; !folder.empty();
         folder = splitAtLastSeparator(folder).folder) {
      folders.insert(folder);
    }
  }
  std::vector<std::string> deepestFirst(folders.begin(), folders.end());
  std::sort(deepestFirst.begin(), deepestFirst.end(), [](const auto& a, const auto& b) {
    return std::count(a.begin(), a.end(), kPathSeparator) >
           std::count(b.begin(), b.end(), kPathSeparator);
  });
  return deepestFirst;
}

// A named file goes as the file system port deletes below a folder: no link
// on the way is followed, a link itself goes as a link. The running setup
// program may stay: the user deletes it by hand.
void removeFile(SetupContext& context, const std::string& name, UninstallResult& removal) {
  FileSystem& files = *context.platform.fileSystem;
  const std::string& installDir = context.state.installDir;
  const std::string path = joinPath(installDir, name);
  if (!staysInsideFolder(name) || !pathFits(files, path)) return;
  if (files.deleteFile(installDir, name) || !files.pathExists(path)) return;
  if (!samePath(files, path, context.state.setupPath)) removal.filesRemain = true;
}

void removeNamedFiles(SetupContext& context, const std::vector<std::string>& names,
                      UninstallResult& removal) {
  FileSystem& files = *context.platform.fileSystem;
  for (const std::string& name : names) removeFile(context, name, removal);
  for (const std::string& folder : foldersOf(names)) {
    if (staysInsideFolder(folder)) files.removeFolder(context.state.installDir, folder);
  }
  files.removeFolder(context.state.installDir, "");
}

// True when the folder still holds anything but the running setup program
// (which the closing message asks the user to delete).
bool holdsOtherFiles(SetupContext& context) {
  FileSystem& files = *context.platform.fileSystem;
  std::vector<FileSystem::FolderEntry> entries;
  if (!files.listFolder(context.state.installDir, entries)) return false;
  return std::any_of(entries.begin(), entries.end(), [&](const FileSystem::FolderEntry& entry) {
    return entry.name != "." && entry.name != ".." &&
           !samePath(files, joinPath(context.state.installDir, entry.name),
                     context.state.setupPath);
  });
}

}  // namespace

void removeInstalledFiles(SetupContext& context, PackageContents packageContents,
                          UninstallResult& removal) {
  const std::string& installDir = context.state.installDir;
  if (!isProtectedFolder(context, installDir)) {
    std::vector<std::string> names;
    if (readInstallManifest(*context.platform.registry, names)) {
      removeNamedFiles(context, names, removal);
    } else {
      // Made before the manifest existed: only what can be identified.
      if (const std::string copy = setupCopyName(context); !copy.empty()) names.push_back(copy);
      addCatalogFiles(context, packageContents, names);
      if (holdsOnly(context, names)) {
        deleteTree(context, installDir, "");
      } else {
        removeNamedFiles(context, names, removal);
      }
    }
  }
  removal.folderKept = holdsOtherFiles(context);
}

}  // namespace ks
