// Folder listing, deletion and file copies of PosixFileSystem.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/unique_fd.h"

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

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool copyContent(int from, int to) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(from, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!writeAll(to, chunk, static_cast<std::size_t>(got))) return false;
  }
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

bool PosixFileSystem::deleteFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::createFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0755) == 0;
}

bool PosixFileSystem::removeFolder(const std::string& path) {
  return ::rmdir(path.c_str()) == 0;
}

// The copy goes to a temporary file beside the target and is renamed over it,
// so a failed copy never leaves a half-written target. Copying a file onto
// itself fails and leaves it alone.
bool PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
  UniqueFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat sourceInfo {};
  if (source.get() < 0 || ::fstat(source.get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) {
    return false;
  }
  struct stat targetInfo {};
  if (::stat(to.c_str(), &targetInfo) == 0 && targetInfo.st_dev == sourceInfo.st_dev &&
      targetInfo.st_ino == sourceInfo.st_ino) {
    return false;
  }
  std::string temporary = to + ".ks-XXXXXX";
  UniqueFd target(::mkostemp(temporary.data(), O_CLOEXEC));
  if (target.get() < 0) return false;
  const bool copied = copyContent(source.get(), target.get()) &&
                      ::fchmod(target.get(), sourceInfo.st_mode & 07777) == 0 &&
                      ::fsync(target.get()) == 0;
  if (!copied || ::rename(temporary.c_str(), to.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace ks
