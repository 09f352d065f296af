// PosixFileSystem: file handles, file times and attributes.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_walk.h"

namespace ks {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr char kDosAttributeName[] = "user.DOSATTRIB";
constexpr std::uint32_t kKeptAttributes =
    FileSystem::kAttributeReadOnly | FileSystem::kAttributeHidden | FileSystem::kAttributeSystem |
    FileSystem::kAttributeArchive;

}  // namespace

std::int32_t PosixFileSystem::openForReading(const std::string& path) {
  UniqueFd file = openRegularFile(path);
  return file.valid() ? file.release() : -1;
}

std::int32_t PosixFileSystem::readHandle(std::int32_t handle, void* buffer, std::uint32_t count) {
  auto* bytes = static_cast<char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(handle, bytes + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::uint32_t>(got);
  }
  return static_cast<std::int32_t>(done);
}

std::int32_t PosixFileSystem::writeHandle(std::int32_t handle, const void* buffer,
                                          std::uint32_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(handle, bytes + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return done == 0 ? -1 : static_cast<std::int32_t>(done);
    done += static_cast<std::uint32_t>(put);
  }
  return static_cast<std::int32_t>(done);
}

bool PosixFileSystem::closeHandle(std::int32_t handle) {
  return ::close(handle) == 0;
}

std::int32_t PosixFileSystem::seekHandle(std::int32_t handle, std::int32_t offset, int origin) {
  if (origin != 0 && origin != 1) return -1;
  const off_t position = ::lseek(handle, offset, origin == 0 ? SEEK_SET : SEEK_CUR);
  if (position < 0 || position > INT32_MAX) return -1;
  return static_cast<std::int32_t>(position);
}

bool PosixFileSystem::setHandleTime(std::int32_t handle, const LocalDateTime& time) {
  std::tm local{};
  local.tm_year = time.year - 1900;
  local.tm_mon = time.month - 1;
  local.tm_mday = time.day;
  local.tm_hour = time.hour;
  local.tm_min = time.minute;
  local.tm_sec = time.second;
  local.tm_isdst = -1;  // let the time zone rules decide
  const std::time_t seconds = std::mktime(&local);
  if (seconds == static_cast<std::time_t>(-1)) return false;
  struct timespec times[2] = {};
  times[0].tv_nsec = UTIME_OMIT;  // last access stays
  times[1].tv_sec = seconds;
  return ::futimens(handle, times) == 0;
}

bool PosixFileSystem::setHandleAttributes(std::int32_t handle, std::uint32_t attributes) {
  struct stat info {};
  if (::fstat(handle, &info) != 0) return false;
  const mode_t mode = (attributes & kAttributeReadOnly) != 0 ? (info.st_mode & ~kWriteBits)
                                                             : (info.st_mode | S_IWUSR);
  if (::fchmod(handle, mode & 07777) != 0) return false;
  char text[16];
  const int length = std::snprintf(text, sizeof text, "0x%x", attributes & kKeptAttributes);
  // Not every file system has user extended attributes; the mode bits stand.
  ::fsetxattr(handle, kDosAttributeName, text, static_cast<std::size_t>(length), 0);
  return true;
}

}  // namespace ks
