// The low-level handles of Win32FileSystem: CreateFileW handles kept in a
// table under small numbers, as the port (and the cabinet callbacks) count
// them, and what is set through them.

#include <windows.h>

#include <climits>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"

namespace ks {

Win32FileSystem::~Win32FileSystem() {
  for (const auto& [number, handle] : handles_) CloseHandle(handle);
}

void* Win32FileSystem::find(std::int32_t handle) {
  std::lock_guard lock(mutex_);
  const auto found = handles_.find(handle);
  return found == handles_.end() ? INVALID_HANDLE_VALUE : found->second;
}

std::int32_t Win32FileSystem::keep(void* file) {
  std::lock_guard lock(mutex_);
  if (next_ == INT32_MAX) {
    CloseHandle(file);
    return -1;
  }
  const std::int32_t number = next_++;
  handles_[number] = file;
  return number;
}

// Only a regular file on a disk: a folder, a pipe or a device is refused.
std::int32_t Win32FileSystem::openForReading(const std::string& path) {
  const auto wide = widen(path);
  if (!wide) return -1;
  const HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  BY_HANDLE_FILE_INFORMATION information{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(file);
    return -1;
  }
  return keep(file);
}

std::int32_t Win32FileSystem::readHandle(std::int32_t handle, void* buffer, std::uint32_t count) {
  const HANDLE file = find(handle);
  DWORD got = 0;
  if (file == INVALID_HANDLE_VALUE || count > INT32_MAX ||
      !ReadFile(file, buffer, count, &got, nullptr)) {
    return -1;
  }
  return static_cast<std::int32_t>(got);
}

std::int32_t Win32FileSystem::writeHandle(std::int32_t handle, const void* buffer,
                                          std::uint32_t count) {
  const HANDLE file = find(handle);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE || count > INT32_MAX ||
      !WriteFile(file, buffer, count, &written, nullptr)) {
    return -1;
  }
  return static_cast<std::int32_t>(written);
}

bool Win32FileSystem::closeHandle(std::int32_t handle) {
  HANDLE file = INVALID_HANDLE_VALUE;
  {
    std::lock_guard lock(mutex_);
    const auto found = handles_.find(handle);
    if (found == handles_.end()) return false;
    file = found->second;
    handles_.erase(found);
  }
  return CloseHandle(file) != 0;
}

// Positions past what the port's 32-bit numbers hold are refused.
std::int32_t Win32FileSystem::seekHandle(std::int32_t handle, std::int32_t offset, int origin) {
  const HANDLE file = find(handle);
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  LARGE_INTEGER position{};
  if (file == INVALID_HANDLE_VALUE || (origin != 0 && origin != 1) ||
      !SetFilePointerEx(file, distance, &position, origin == 0 ? FILE_BEGIN : FILE_CURRENT) ||
      position.QuadPart > INT32_MAX) {
    return -1;
  }
  return static_cast<std::int32_t>(position.QuadPart);
}

bool Win32FileSystem::setHandleTime(std::int32_t handle, const LocalDateTime& time) {
  const HANDLE file = find(handle);
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(time.year);
  local.wMonth = static_cast<WORD>(time.month);
  local.wDay = static_cast<WORD>(time.day);
  local.wHour = static_cast<WORD>(time.hour);
  local.wMinute = static_cast<WORD>(time.minute);
  local.wSecond = static_cast<WORD>(time.second);
  FILETIME localTime{};
  FILETIME utc{};
  return file != INVALID_HANDLE_VALUE && SystemTimeToFileTime(&local, &localTime) &&
         LocalFileTimeToFileTime(&localTime, &utc) && SetFileTime(file, &utc, nullptr, &utc);
}

// The times of the record stay 0: unchanged.
bool Win32FileSystem::setHandleAttributes(std::int32_t handle, std::uint32_t attributes) {
  const HANDLE file = find(handle);
  const DWORD kept =
      attributes & (kAttributeReadOnly | kAttributeHidden | kAttributeSystem | kAttributeArchive);
  FILE_BASIC_INFO information{};
  information.FileAttributes = kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept;
  return file != INVALID_HANDLE_VALUE &&
         SetFileInformationByHandle(file, FileBasicInfo, &information, sizeof information);
}

}  // namespace ks
