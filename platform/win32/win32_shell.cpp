#include "platform/win32/win32_shell.h"

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include "platform/win32/com_scope.h"
#include "platform/win32/wide_text.h"

namespace ks {

namespace {

int csidlOf(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::Desktop:
      return CSIDL_DESKTOPDIRECTORY;
    case SpecialFolder::Programs:
      return CSIDL_PROGRAMS;
    case SpecialFolder::CommonPrograms:
      break;
  }
  return CSIDL_COMMON_PROGRAMS;
}

// Releases a COM interface when it goes out of scope.
template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ~ComPointer() {
    if (pointer_) pointer_->Release();
  }
  Interface* operator->() const { return pointer_; }
  void** out() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace

bool Win32Shell::specialFolder(SpecialFolder folder, std::string& path) {
  wchar_t buffer[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidlOf(folder) | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, buffer))) {
    return false;
  }
  const auto text = narrow(buffer);
  if (!text) return false;
  path = *text;
  return true;
}

bool Win32Shell::canWriteTo(SpecialFolder folder) {
  wchar_t path[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidlOf(folder) | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, path))) {
    return false;
  }
  wchar_t probe[MAX_PATH];
  if (GetTempFileNameW(path, L"kss", 0, probe) == 0) return false;
  DeleteFileW(probe);
  return true;
}

// Only the target and the description are set: no arguments, working
// folder, icon, hot key or show command.
std::int32_t Win32Shell::createShortcut(const std::string& target, const std::string& linkPath,
                                        const std::string& description) {
  const auto wideTarget = widen(target);
  const auto wideLink = widen(linkPath);
  const auto wideDescription = widen(description);
  if (!wideTarget || !wideLink || !wideDescription) return E_INVALIDARG;
  const ComScope com;
  ComPointer<IShellLinkW> link;
  HRESULT result =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out());
  if (FAILED(result)) return result;
  link->SetPath(wideTarget->c_str());
  link->SetDescription(wideDescription->c_str());
  ComPointer<IPersistFile> file;
  result = link->QueryInterface(IID_IPersistFile, file.out());
  if (FAILED(result)) return result;
  return file->Save(wideLink->c_str(), TRUE);
}

}  // namespace ks
