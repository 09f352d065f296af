// How Win32FileSystem sees paths: GetFullPathNameW and
// GetFinalPathNameByHandleW for the canonical form, the system's upper case
// for names found without regard to case, lengths in UTF-16 units.

#include <windows.h>

#include <limits>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"

namespace ks {

namespace {

// The setup's rule: at most MAX_PATH - 1 characters, counted in UTF-16.
constexpr std::size_t kLongestAcceptedPath = MAX_PATH - 1;

std::wstring fullPathOf(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return {};
  full.resize(length);
  return full;
}

// The length of the root: "C:\" or "\\server\share\" (with its separator
// when the path has one); 0 for anything else.
std::size_t rootLength(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return path.size() >= 3 && path[2] == L'\\' ? 3 : 2;
  if (path.rfind(L"\\\\", 0) != 0) return 0;
  const std::size_t server = path.find(L'\\', 2);
  if (server == std::wstring::npos) return path.size();
  const std::size_t share = path.find(L'\\', server + 1);
  return share == std::wstring::npos ? path.size() : share + 1;
}

// The path of an open file or folder with every link and junction on the
// way resolved, in the usual form ("\\?\" taken off).
std::wstring finalPathOf(HANDLE file) {
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD needed = GetFinalPathNameByHandleW(file, nullptr, 0, flags);
  if (needed == 0) return {};
  std::vector<wchar_t> buffer(needed + 1);
  const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), needed + 1, flags);
  if (length == 0 || length > needed) return {};
  std::wstring path(buffer.data(), length);
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

// The longest part of full that exists, resolved; the rest follows as text.
std::wstring resolveExisting(const std::wstring& full) {
  const std::size_t root = rootLength(full);
  std::wstring existing = full;
  std::wstring rest;
  for (;;) {
    const UniqueFile file(CreateFileW(existing.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.valid()) {
      const std::wstring resolved = finalPathOf(file.get());
      if (!resolved.empty()) return resolved + rest;
    }
    const std::size_t cut = existing.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < root || existing.size() <= root) return full;
    rest = existing.substr(cut) + rest;
    existing.resize(cut == root - 1 ? root : cut);
  }
}

}  // namespace

bool Win32FileSystem::canonicalPath(const std::string& path, std::string& canonical) {
  const auto wide = widen(path);
  if (!wide || wide->empty()) return false;
  std::wstring full = fullPathOf(*wide);
  if (full.empty()) return false;
  full = resolveExisting(full);
  const std::size_t root = rootLength(full);
  while (full.size() > root && full.back() == L'\\') full.pop_back();
  if (root != 0 && full.size() == root && full.back() != L'\\') full += L'\\';
  const auto text = narrow(full);
  if (!text) return false;
  canonical = *text;
  return true;
}

// NTFS finds names without regard to case by an upper-case table; the
// system's upper case of each UTF-16 unit is that comparison.
std::string Win32FileSystem::caseFolded(const std::string& path) {
  auto wide = widen(path);
  if (!wide) return path;
  CharUpperBuffW(wide->data(), static_cast<DWORD>(wide->size()));
  return narrow(*wide).value_or(path);
}

std::size_t Win32FileSystem::pathLength(const std::string& path) {
  const auto wide = widen(path);
  return wide ? wide->size() : std::numeric_limits<std::size_t>::max();
}

std::size_t Win32FileSystem::maxPathLength() {
  return kLongestAcceptedPath;
}

}  // namespace ks
