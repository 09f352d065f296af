#include "platform/posix/posix_walk.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>

namespace ks {

namespace {

constexpr int kWalkFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

bool isPlainComponent(std::string_view name) {
  return !name.empty() && name != "." && name != "..";
}

UniqueFd openWithoutEintr(int at, const char* name, int flags) {
  int fd = -1;
  do {
    fd = ::openat(at, name, flags);
  } while (fd < 0 && errno == EINTR);
  return UniqueFd(fd);
}

}  // namespace

bool openFolderOf(const std::string& folder, const std::string& below, FolderOfName& out) {
  UniqueFd current = openWithoutEintr(AT_FDCWD, folder.empty() ? "." : folder.c_str(), kWalkFlags);
  if (!current.valid()) return false;
  std::string_view rest = below;
  for (std::size_t slash = rest.find('/'); slash != std::string_view::npos;
       slash = rest.find('/')) {
    const std::string component(rest.substr(0, slash));
    if (!isPlainComponent(component)) return false;
    // O_NOFOLLOW with O_DIRECTORY: a link here fails (ENOTDIR), whatever it
    // points to.
    current = openWithoutEintr(current.get(), component.c_str(), kWalkFlags | O_NOFOLLOW);
    if (!current.valid()) return false;
    rest.remove_prefix(slash + 1);
  }
  if (!isPlainComponent(rest)) return false;
  out.folder = std::move(current);
  out.name = std::string(rest);
  return true;
}

UniqueFd openRegularFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  UniqueFd file =
      openWithoutEintr(AT_FDCWD, path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat info {};
  if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return {};
  return file;
}

}  // namespace ks
