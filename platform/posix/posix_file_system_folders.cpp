// Folder listing and creation of PosixFileSystem.

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/posix/posix_file_system.h"

namespace ks {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

bool isRealFolder(const std::string& folder, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
  struct stat info {};
  const std::string path = folder + "/" + entry.d_name;
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool PosixFileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) {
  std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
  if (!dir) return false;
  entries.clear();
  while (const dirent* entry = ::readdir(dir.get())) {
    entries.push_back({entry->d_name, isRealFolder(path, *entry)});
  }
  return true;
}

bool PosixFileSystem::createFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0755) == 0;
}

}  // namespace ks
