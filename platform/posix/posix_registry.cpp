#include "platform/posix/posix_registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/registry_folders.h"
#include "platform/posix/registry_lock.h"
#include "platform/posix/registry_names.h"
#include "platform/posix/registry_system_keys.h"
#include "platform/posix/registry_values_file.h"
#include "platform/posix/xdg_folders.h"

namespace ks {

namespace {

using registry::RegistryValue;

constexpr const char* kTreeBelowBase = "/kestrova-setup/registry";
constexpr const char* kValuesFile = ".values";
// A key being deleted is first renamed to this, so the deletion is atomic;
// what a crash leaves under the name is removed with the parent key.
constexpr const char* kDeletedKeyFolder = ".deleted";
// Depth of leftovers below a deleted key: its own files and one old ".deleted".
constexpr int kMaxLeftoverDepth = 4;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The folder entry of the subkey name below folder: the exact encoding
// first, else any folder whose name decodes to it without regard to case.
bool findSubkeyFolder(const std::string& folder, const std::string& name, std::string& entry) {
  const std::string encoded = registry::encodeKeyName(name);
  struct stat info {};
  if (::lstat((folder + "/" + encoded).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    entry = encoded;
    return true;
  }
  std::vector<std::string> folders;
  if (!registry::listSubfolders(folder, folders)) return false;
  for (const std::string& candidate : folders) {
    const auto decoded = registry::decodeKeyName(candidate);
    if (decoded && registry::sameName(*decoded, name)) {
      entry = candidate;
      return true;
    }
  }
  return false;
}

bool subkeyNames(const std::string& folder, std::vector<std::string>& names) {
  std::vector<std::string> folders;
  if (!registry::listSubfolders(folder, folders)) return false;
  names.clear();
  for (const std::string& candidate : folders) {
    if (auto decoded = registry::decodeKeyName(candidate)) names.push_back(std::move(*decoded));
  }
  return true;
}

bool loadValues(const std::string& folder, std::vector<RegistryValue>& values) {
  const std::string path = folder + "/" + kValuesFile;
  values.clear();
  if (!exists(path)) return true;
  std::string text;
  PosixFileSystem files;
  return files.readFile(path, text, registry::kMaxValuesFileBytes) &&
         registry::parseValues(text, values);
}

bool storeValues(const std::string& folder, const std::vector<RegistryValue>& values) {
  return registry::replaceFile(folder, kValuesFile, registry::serializeValues(values));
}

// Sorted without regard to case, one entry per name.
void sortNames(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string foldedA = registry::foldName(a);
    const std::string foldedB = registry::foldName(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
  });
  names.erase(std::unique(names.begin(), names.end(), registry::sameName), names.end());
}

}  // namespace

PosixRegistry::PosixRegistry()
    : currentUserFolder_(configHomeFolder() + kTreeBelowBase),
      localMachineFolder_(dataHomeFolder() + kTreeBelowBase),
      programFilesFolder_(homeFolder() + "/.local/opt") {}

const std::string& PosixRegistry::treeFolder(RegistryRoot root) const {
  return root == RegistryRoot::CurrentUser ? currentUserFolder_ : localMachineFolder_;
}

bool PosixRegistry::resolveKey(RegistryRoot root, const std::vector<std::string>& parts,
                               bool create, std::string& folder) const {
  folder = treeFolder(root);
  if (!exists(folder)) return false;
  for (const std::string& part : parts) {
    std::string entry;
    if (!findSubkeyFolder(folder, part, entry)) {
      if (!create) return false;
      entry = registry::encodeKeyName(part);
      if (entry.size() > NAME_MAX || !registry::makeFolder(folder + "/" + entry)) return false;
    }
    folder += "/" + entry;
  }
  return true;
}

bool PosixRegistry::loadKey(RegistryRoot root, const std::vector<std::string>& parts, bool create,
                            std::string& folder,
                            std::vector<registry::RegistryValue>& values) const {
  return resolveKey(root, parts, create, folder) && loadValues(folder, values);
}

bool PosixRegistry::openKey(RegistryRoot root, const std::string& path) {
  const auto parts = registry::splitKeyPath(path);
  if (!parts) return false;
  if (registry::isSystemKey(root, *parts)) return true;
  const registry::TreeLock lock(treeFolder(root), false);
  std::string folder;
  return lock.held() && resolveKey(root, *parts, false, folder);
}

bool PosixRegistry::createKey(RegistryRoot root, const std::string& path) {
  const auto parts = registry::splitKeyPath(path);
  if (!parts || !registry::makeFolders(treeFolder(root))) return false;
  const registry::TreeLock lock(treeFolder(root), true);
  std::string folder;
  return lock.held() && resolveKey(root, *parts, true, folder);
}

bool PosixRegistry::readValue(RegistryRoot root, const std::string& path, const std::string& name,
                              std::string& value) {
  const auto parts = registry::splitKeyPath(path);
  if (!parts) return false;
  if (registry::isProgramFilesValue(root, *parts, name)) {
    // Like the Program Files folder of Windows, the folder always exists:
    // the setup proposes a new folder inside it and creates one level only.
    registry::makeFolders(programFilesFolder_);
    value = programFilesFolder_;
    return true;
  }
  const registry::TreeLock lock(treeFolder(root), false);
  std::string folder;
  std::vector<RegistryValue> values;
  if (!lock.held() || !loadKey(root, *parts, false, folder, values)) return false;
  const RegistryValue* found = registry::findValue(values, name);
  if (!found) return false;
  value = found->data;
  return true;
}

bool PosixRegistry::writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                               const std::string& value) {
  const auto parts = registry::splitKeyPath(path);
  if (!parts || registry::isProgramFilesValue(root, *parts, name)) return false;
  if (!registry::makeFolders(treeFolder(root))) return false;
  const registry::TreeLock lock(treeFolder(root), true);
  std::string folder;
  std::vector<RegistryValue> values;
  const bool create = registry::isSystemKey(root, *parts);
  if (!lock.held() || !loadKey(root, *parts, create, folder, values)) return false;
  if (RegistryValue* found = registry::findValue(values, name)) {
    found->data = value;  // the name keeps the spelling it was created with
  } else {
    values.push_back({name, value});
  }
  return storeValues(folder, values);
}

bool PosixRegistry::deleteValue(RegistryRoot root, const std::string& path,
                                const std::string& name) {
  const auto parts = registry::splitKeyPath(path);
  if (!parts || registry::isProgramFilesValue(root, *parts, name)) return false;
  const registry::TreeLock lock(treeFolder(root), true);
  std::string folder;
  std::vector<RegistryValue> values;
  if (!lock.held() || !loadKey(root, *parts, false, folder, values)) return false;
  const RegistryValue* found = registry::findValue(values, name);
  if (!found) return false;
  values.erase(values.begin() + (found - values.data()));
  return storeValues(folder, values);
}

bool PosixRegistry::deleteKey(RegistryRoot root, const std::string& path) {
  auto parts = registry::splitKeyPath(path);
  if (!parts || registry::isSystemKey(root, *parts)) return false;
  const registry::TreeLock lock(treeFolder(root), true);
  const std::string name = parts->back();
  parts->pop_back();
  std::string parent;
  std::string entry;
  std::vector<std::string> below;
  if (!lock.held() || !resolveKey(root, *parts, false, parent) ||
      !findSubkeyFolder(parent, name, entry) || !subkeyNames(parent + "/" + entry, below) ||
      !below.empty()) {
    return false;
  }
  const std::string deleted = parent + "/" + kDeletedKeyFolder;
  if (exists(deleted)) registry::removeFolder(deleted, kMaxLeftoverDepth);
  if (std::rename((parent + "/" + entry).c_str(), deleted.c_str()) != 0) return false;
  registry::syncFolder(parent);
  registry::removeFolder(deleted, kMaxLeftoverDepth);
  return true;
}

bool PosixRegistry::listSubkeys(RegistryRoot root, const std::string& path,
                                std::vector<std::string>& names) {
  const auto parts = registry::splitKeyPath(path);
  if (!parts) return false;
  const registry::TreeLock lock(treeFolder(root), false);
  if (!lock.held()) return false;
  std::string folder;
  names.clear();
  if (resolveKey(root, *parts, false, folder)) {
    if (!subkeyNames(folder, names)) return false;
  } else if (!registry::isSystemKey(root, *parts)) {
    return false;
  }
  if (auto system = registry::systemSubkey(root, *parts)) names.push_back(std::move(*system));
  sortNames(names);
  return true;
}

bool PosixRegistry::subkeyCount(RegistryRoot root, const std::string& path, std::uint32_t& count) {
  std::vector<std::string> names;
  if (!listSubkeys(root, path, names)) return false;
  count = static_cast<std::uint32_t>(names.size());
  return true;
}

bool PosixRegistry::enumSubkey(RegistryRoot root, const std::string& path, std::uint32_t index,
                               std::string& name) {
  std::vector<std::string> names;
  if (!listSubkeys(root, path, names) || index >= names.size()) return false;
  name = names[index];
  return true;
}

}  // namespace ks
