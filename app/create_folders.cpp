#include "app/create_folders.h"

#include <vector>

#include "app/paths.h"
#include "platform/file_system.h"

namespace ks {

namespace {

// The path and its missing parents, the deepest first; empty when nothing
// above it exists.
std::vector<std::string> missingFolders(FileSystem& files, const std::string& path) {
  std::vector<std::string> missing;
  for (std::string folder = path; !files.pathExists(folder);) {
    missing.push_back(folder);
    std::string parent = splitAtLastSeparator(folder).folder;
    // Above a folder at the root stands the root itself.
    if (parent.empty() && folder.size() > 1 && folder.front() == kPathSeparator) {
      parent = std::string(1, kPathSeparator);
    }
    if (parent.empty() || parent == folder) return {};
    folder = std::move(parent);
  }
  return missing;
}

void removeCreated(FileSystem& files, const std::vector<std::string>& created) {
  for (auto it = created.rbegin(); it != created.rend(); ++it) {
    const SplitPath parts = splitAtLastSeparator(*it);
    files.removeFolder(parts.folder, parts.name);
  }
}

}  // namespace

// A trailing separator names the same folder.
bool createFolderWithParents(FileSystem& files, const std::string& path) {
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  std::vector<std::string> missing = missingFolders(files, folder);
  if (missing.empty()) return false;
  std::vector<std::string> created;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!files.createFolder(*it)) {
      removeCreated(files, created);
      return false;
    }
    created.push_back(*it);
  }
  return true;
}

}  // namespace ks
