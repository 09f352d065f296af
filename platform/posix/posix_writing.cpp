// PosixFileSystem: creating, renaming and deleting below a folder, every
// step taken with openat and friends from a descriptor reached without
// following a link.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_walk.h"

namespace ks {

namespace {

constexpr mode_t kNewFileMode = 0666;    // less the umask
constexpr mode_t kNewFolderMode = 0755;  // less the umask
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// Special: a device, FIFO or socket, never replaced.
enum class Kind { Missing, Folder, Link, File, ReadOnlyFile, Special };

Kind kindOf(const FolderOfName& at) {
  struct stat info {};
  if (::fstatat(at.folder.get(), at.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return Kind::Missing;
  }
  if (S_ISDIR(info.st_mode)) return Kind::Folder;
  if (S_ISLNK(info.st_mode)) return Kind::Link;
  if (!S_ISREG(info.st_mode)) return Kind::Special;
  return (info.st_mode & kWriteBits) == 0 ? Kind::ReadOnlyFile : Kind::File;
}

bool unlinkName(const FolderOfName& at) {
  return ::unlinkat(at.folder.get(), at.name.c_str(), 0) == 0;
}

// A new file in place of whatever non-folder had the name. O_EXCL with
// O_CREAT never follows a link, so a link made meanwhile fails the open.
int createIn(const FolderOfName& at) {
  const Kind kind = kindOf(at);
  if (kind == Kind::Folder || kind == Kind::Special) return -1;
  if (kind != Kind::Missing && !unlinkName(at)) return -1;
  int fd = -1;
  do {
    fd = ::openat(at.folder.get(), at.name.c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// renameat replaces a file or a link of the new name itself; a folder, a
// device or FIFO, or a read-only file there is refused (MoveFileEx refuses
// those it has).
bool renameOver(const FolderOfName& from, const FolderOfName& to) {
  const Kind kind = kindOf(to);
  if (kind != Kind::Missing && kind != Kind::File && kind != Kind::Link) return false;
  return ::renameat(from.folder.get(), from.name.c_str(), to.folder.get(), to.name.c_str()) == 0;
}

bool copyContent(int from, int to) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(from, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t done = 0; done < got;) {
      const ssize_t written = ::write(to, chunk + done, static_cast<std::size_t>(got - done));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      done += written;
    }
  }
}

// An ELF image starts with 0x7F "ELF"; a script names its interpreter after
// "#!".
bool startsLikeProgram(int fd) {
  char start[4] = {};
  ssize_t got = 0;
  do {
    got = ::pread(fd, start, sizeof start, 0);
  } while (got < 0 && errno == EINTR);
  if (got >= 2 && start[0] == '#' && start[1] == '!') return true;
  return got == 4 && start[0] == '\x7f' && start[1] == 'E' && start[2] == 'L' && start[3] == 'F';
}

bool isSameFile(int source, const FolderOfName& target) {
  struct stat sourceInfo {};
  struct stat targetInfo {};
  return ::fstat(source, &sourceInfo) == 0 &&
         ::fstatat(target.folder.get(), target.name.c_str(), &targetInfo, AT_SYMLINK_NOFOLLOW) ==
             0 &&
         sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino;
}

}  // namespace

std::int32_t PosixFileSystem::createFile(const std::string& folder, const std::string& below) {
  FolderOfName at;
  return openFolderOf(folder, below, at) ? createIn(at) : -1;
}

// O_NOFOLLOW refuses a link in the name's place; O_NONBLOCK keeps a FIFO
// from blocking the open before fstat turns it away.
std::int32_t PosixFileSystem::openForAppending(const std::string& folder, const std::string& below,
                                               std::uint64_t& size) {
  FolderOfName at;
  if (!openFolderOf(folder, below, at) || kindOf(at) != Kind::File) return -1;
  UniqueFd fd(::openat(at.folder.get(), at.name.c_str(),
                       O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat info {};
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return -1;
  size = static_cast<std::uint64_t>(info.st_size);
  return fd.release();
}

bool PosixFileSystem::renameFile(const std::string& folder, const std::string& from,
                                 const std::string& to) {
  FolderOfName source;
  FolderOfName target;
  return openFolderOf(folder, from, source) && openFolderOf(folder, to, target) &&
         renameOver(source, target);
}

bool PosixFileSystem::deleteFile(const std::string& folder, const std::string& below) {
  FolderOfName at;
  return openFolderOf(folder, below, at) && kindOf(at) != Kind::Folder && unlinkName(at);
}

bool PosixFileSystem::ensureFolder(const std::string& folder, const std::string& below) {
  FolderOfName at;
  if (!openFolderOf(folder, below, at)) return false;
  switch (kindOf(at)) {
    case Kind::Folder:
      return true;
    case Kind::Link:
      if (!unlinkName(at)) return false;
      break;
    case Kind::Missing:
      break;
    default:
      return false;
  }
  return ::mkdirat(at.folder.get(), at.name.c_str(), kNewFolderMode) == 0;
}

bool PosixFileSystem::removeFolder(const std::string& folder, const std::string& below) {
  if (below.empty()) return ::rmdir(folder.c_str()) == 0;
  FolderOfName at;
  return openFolderOf(folder, below, at) &&
         ::unlinkat(at.folder.get(), at.name.c_str(), AT_REMOVEDIR) == 0;
}

// Whoever may read a program may run it: each read bit brings its execute
// bit.
bool PosixFileSystem::setProgramMode(const std::string& folder, const std::string& below) {
  FolderOfName at;
  if (!openFolderOf(folder, below, at)) return false;
  UniqueFd file(::openat(at.folder.get(), at.name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info {};
  if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  constexpr mode_t kExecuteBits = S_IXUSR | S_IXGRP | S_IXOTH;
  const mode_t readBits = info.st_mode & (S_IRUSR | S_IRGRP | S_IROTH);
  const mode_t mode = startsLikeProgram(file.get()) ? (info.st_mode | (readBits >> 2))
                                                    : (info.st_mode & ~kExecuteBits);
  return ::fchmod(file.get(), mode & 07777) == 0;
}

bool PosixFileSystem::canCreateFiles(const std::string& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string PosixFileSystem::lastErrorText() {
  char text[256] = "";
  return ::strerror_r(errno, text, sizeof text);  // the GNU form: the text or its own
}

bool PosixFileSystem::copyFile(const std::string& from, const std::string& folder,
                               const std::string& below) {
  UniqueFd source = openRegularFile(from);
  FolderOfName target;
  if (!source.valid() || !openFolderOf(folder, below, target) || isSameFile(source.get(), target)) {
    return false;
  }
  FolderOfName temporary{UniqueFd(::dup(target.folder.get())),
                         target.name + std::string(kTemporaryFileEnding)};
  UniqueFd copy(createIn(temporary));
  if (!copy.valid()) return false;
  struct stat sourceInfo {};
  const bool copied =
      copyContent(source.get(), copy.get()) && ::fstat(source.get(), &sourceInfo) == 0 &&
      ::fchmod(copy.get(), sourceInfo.st_mode & 07777) == 0 && ::fsync(copy.get()) == 0;
  copy.reset();
  if (!copied || !renameOver(temporary, target)) {
    unlinkName(temporary);
    return false;
  }
  return true;
}

}  // namespace ks
