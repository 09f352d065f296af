#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace ks {

namespace {

// Key names are at most 255 characters.
constexpr DWORD kMaxKeyNameChars = 256;

HKEY rootKey(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

UniqueKey openWith(RegistryRoot root, const std::string& path, REGSAM access) {
  const auto widePath = widen(path);
  HKEY key = nullptr;
  if (!widePath || RegOpenKeyExW(rootKey(root), widePath->c_str(), 0, access, &key) != 0) {
    return UniqueKey();
  }
  return UniqueKey(key);
}

}  // namespace

bool Win32Registry::openKey(RegistryRoot root, const std::string& path) {
  return openWith(root, path, KEY_ALL_ACCESS).valid();
}

bool Win32Registry::createKey(RegistryRoot root, const std::string& path) {
  const auto widePath = widen(path);
  HKEY key = nullptr;
  if (!widePath ||
      RegCreateKeyExW(rootKey(root), widePath->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// The value's type is not examined: its data is read as UTF-16 text, up to
// its first NUL.
bool Win32Registry::readValue(RegistryRoot root, const std::string& path, const std::string& name,
                              std::string& value) {
  const UniqueKey key = openWith(root, path, KEY_QUERY_VALUE);
  const auto wideName = widen(name);
  DWORD bytes = 0;
  if (!key.valid() || !wideName ||
      RegQueryValueExW(key.get(), wideName->c_str(), nullptr, nullptr, nullptr, &bytes) !=
          ERROR_SUCCESS) {
    return false;
  }
  std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), wideName->c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(data.data()), &bytes) != ERROR_SUCCESS) {
    return false;
  }
  const auto text = narrow(data.data());
  if (!text) return false;
  value = *text;
  return true;
}

// Stored as REG_SZ with its terminating NUL.
bool Win32Registry::writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                               const std::string& value) {
  const UniqueKey key = openWith(root, path, KEY_SET_VALUE);
  const auto wideName = widen(name);
  const auto wideValue = widen(value);
  if (!key.valid() || !wideName || !wideValue) return false;
  const auto bytes = static_cast<DWORD>((wideValue->size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), wideName->c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wideValue->c_str()), bytes) == ERROR_SUCCESS;
}

bool Win32Registry::deleteValue(RegistryRoot root, const std::string& path,
                                const std::string& name) {
  const UniqueKey key = openWith(root, path, KEY_SET_VALUE);
  const auto wideName = widen(name);
  return key.valid() && wideName && RegDeleteValueW(key.get(), wideName->c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::deleteKey(RegistryRoot root, const std::string& path) {
  const auto widePath = widen(path);
  return widePath && !widePath->empty() &&
         RegDeleteKeyW(rootKey(root), widePath->c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::subkeyCount(RegistryRoot root, const std::string& path, std::uint32_t& count) {
  const UniqueKey key = openWith(root, path, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
  DWORD subkeys = 0;
  if (!key.valid() ||
      RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  count = subkeys;
  return true;
}

bool Win32Registry::enumSubkey(RegistryRoot root, const std::string& path, std::uint32_t index,
                               std::string& name) {
  const UniqueKey key = openWith(root, path, KEY_ENUMERATE_SUB_KEYS);
  wchar_t buffer[kMaxKeyNameChars];
  DWORD chars = kMaxKeyNameChars;
  if (!key.valid() || RegEnumKeyExW(key.get(), index, buffer, &chars, nullptr, nullptr, nullptr,
                                    nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto text = narrow(std::wstring_view(buffer, chars));
  if (!text) return false;
  name = *text;
  return true;
}

}  // namespace ks
