#include "platform/posix/registry_folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/posix/unique_fd.h"

namespace ks::registry {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

// Key folders are never followed through symbolic links; the folders above
// the tree (like ~/.config) may be links.
bool isFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isFolderOrLinkToOne(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool writeAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t wrote = ::write(fd, content.data() + done, content.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool syncFolder(const std::string& folder) {
  UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir.valid() && ::fsync(dir.get()) == 0;
}

bool makeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0) return errno == EEXIST && isFolder(path);
  return syncFolder(parentOf(path));
}

bool makeFolders(const std::string& path) {
  if (path.empty() || isFolderOrLinkToOne(path)) return !path.empty();
  const std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash))) {
    return false;
  }
  return makeFolder(path);
}

bool replaceFile(const std::string& folder, const std::string& name, const std::string& content) {
  const std::string target = folder + "/" + name;
  const std::string temporary = target + ".tmp";
  {
    UniqueFd file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!file.valid() || !writeAll(file.get(), content) || ::fsync(file.get()) != 0) {
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return syncFolder(folder);
}

bool listSubfolders(const std::string& folder, std::vector<std::string>& names) {
  UniqueDir dir(::opendir(folder.c_str()));
  if (!dir) return false;
  names.clear();
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (isFolder(folder + "/" + name)) names.push_back(name);
  }
  return true;
}

bool removeFolder(const std::string& path, int depth) {
  if (depth < 0) return false;
  std::vector<std::string> entries;
  {
    UniqueDir dir(::opendir(path.c_str()));
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") entries.push_back(path + "/" + name);
    }
  }
  for (const std::string& entry : entries) {
    if (isFolder(entry)) {
      removeFolder(entry, depth - 1);
    } else {
      ::unlink(entry.c_str());
    }
  }
  return ::rmdir(path.c_str()) == 0;
}

}  // namespace ks::registry
