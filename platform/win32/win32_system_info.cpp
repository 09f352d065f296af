#include "platform/win32/win32_system_info.h"

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shlobj.h>
#include <knownfolders.h>
// clang-format on

#include <vector>

#include "platform/win32/wide_text.h"

namespace ks {

namespace {

// Calls fill(buffer, size) -> length with larger buffers until the text fits;
// empty when it fails.
template <typename Fill>
std::string systemText(Fill fill) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const UINT length = fill(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      return narrow(std::wstring_view(buffer.data(), length)).value_or(std::string());
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::string();
}

}  // namespace

int Win32SystemInfo::platformId() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  // GetVersionExW is deprecated for its version numbers; only the platform
  // id is read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version)) return kPlatformWindowsNT;
#pragma GCC diagnostic pop
  return static_cast<int>(version.dwPlatformId);
}

bool Win32SystemInfo::isWindowsNT() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return (GetVersion() & 0x80000000u) == 0;
#pragma GCC diagnostic pop
}

std::string Win32SystemInfo::ownProgramPath() {
  return systemText([](wchar_t* buffer, UINT size) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer, size);
    return length >= size ? size : static_cast<UINT>(length);  // cut: try a larger buffer
  });
}

std::string Win32SystemInfo::windowsDirectory() {
  return systemText([](wchar_t* buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); });
}

std::string Win32SystemInfo::systemDirectory() {
  return systemText([](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); });
}

std::string Win32SystemInfo::userProfilesFolder() {
  wchar_t* path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_UserProfiles, 0, nullptr, &path))) {
    folder = narrow(path).value_or(std::string());
  }
  CoTaskMemFree(path);
  return folder;
}

std::string Win32SystemInfo::userHomeFolder() {
  wchar_t buffer[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
    return std::string();
  }
  return narrow(buffer).value_or(std::string());
}

}  // namespace ks
