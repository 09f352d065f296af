#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <utility>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace ks {

namespace {

DWORD attributesOf(const std::wstring& path) {
  return GetFileAttributesW(path.c_str());
}

}  // namespace

bool Win32FileSystem::pathExists(const std::string& path) {
  const auto wide = widen(path);
  return wide && !wide->empty() && attributesOf(*wide) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::readFile(const std::string& path, std::string& content,
                               std::uint64_t maxBytes) {
  const auto wide = widen(path);
  if (!wide) return false;
  const UniqueFile file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK ||
      !GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
    return false;
  }
  std::string data;
  char chunk[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return false;
    if (got == 0) break;
    data.append(chunk, got);
    if (data.size() > maxBytes) return false;
  }
  content = std::move(data);
  return true;
}

bool Win32FileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) {
  const auto wide = widen(path);
  if (!wide) return false;
  WIN32_FIND_DATAW found{};
  const UniqueFind search(FindFirstFileW((*wide + L"\\*").c_str(), &found));
  if (!search.valid()) return false;
  entries.clear();
  do {
    const auto name = narrow(found.cFileName);
    if (!name) continue;  // not representable: left alone
    const DWORD attributes = found.dwFileAttributes;
    entries.push_back({*name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                  (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0});
  } while (FindNextFileW(search.get(), &found));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

bool Win32FileSystem::createFolder(const std::string& path) {
  const auto wide = widen(path);
  return wide && CreateDirectoryW(wide->c_str(), nullptr) != 0;
}

bool Win32FileSystem::freeSpace(const std::string& folder, std::uint64_t& bytes) {
  const auto wide = widen(folder);
  ULARGE_INTEGER available{};
  if (!wide || !GetDiskFreeSpaceExW(wide->c_str(), &available, nullptr, nullptr)) return false;
  bytes = available.QuadPart;
  return true;
}

}  // namespace ks
