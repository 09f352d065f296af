#include "platform/posix/posix_file_system.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/posix_walk.h"

namespace ks {

bool PosixFileSystem::pathExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::readFile(const std::string& path, std::string& content,
                               std::uint64_t maxBytes) {
  UniqueFd file = openRegularFile(path);
  if (!file.valid()) return false;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return false;
  if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return false;
  std::string data;
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    data.append(chunk, static_cast<std::size_t>(got));
    if (data.size() > maxBytes) return false;
  }
  content = std::move(data);
  return true;
}

bool PosixFileSystem::freeSpace(const std::string& folder, std::uint64_t& bytes) {
  struct statvfs info {};
  if (::statvfs(folder.c_str(), &info) != 0) return false;
  bytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  return true;
}

}  // namespace ks
