#include "install/temporary_files.h"

#include <vector>

#include "app/paths.h"

namespace ks {

std::string temporaryNameOf(const std::string& below) {
  return below + std::string(kTemporaryFileEnding);
}

void removeStaleTemporaryFiles(FileSystem& files, const std::string& folder,
                               const std::string& below) {
  std::vector<FileSystem::FolderEntry> entries;
  if (!files.listFolder(below.empty() ? folder : joinPath(folder, below), entries)) return;
  for (const FileSystem::FolderEntry& entry : entries) {
    if (entry.isFolder || !entry.name.ends_with(kTemporaryFileEnding)) continue;
    files.deleteFile(folder, below.empty() ? entry.name : joinPath(below, entry.name));
  }
}

}  // namespace ks
