#include "platform/win32/win32_libraries.h"

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <shlwapi.h>
// clang-format on

#include "platform/win32/wide_text.h"

namespace ks {

namespace {

using WsaStartup = int(WINAPI*)(WORD, LPWSADATA);
using WsaCleanup = int(WINAPI*)();

class Win32LoadedLibrary : public LoadedLibrary {
 public:
  explicit Win32LoadedLibrary(HMODULE module) : module_(module) {}
  ~Win32LoadedLibrary() override { FreeLibrary(module_); }
  Win32LoadedLibrary(const Win32LoadedLibrary&) = delete;
  Win32LoadedLibrary& operator=(const Win32LoadedLibrary&) = delete;

  bool hasExport(const std::string& name) override {
    return GetProcAddress(module_, name.c_str()) != nullptr;
  }

  std::int32_t dllGetVersion(DllVersionInfo& info) override {
    const auto call = exported<DLLGETVERSIONPROC>("DllGetVersion");
    if (!call) return E_FAIL;
    DLLVERSIONINFO record{};
    record.cbSize = info.size;
    const HRESULT result = call(&record);
    info.majorVersion = record.dwMajorVersion;
    info.minorVersion = record.dwMinorVersion;
    info.buildNumber = record.dwBuildNumber;
    info.platformId = record.dwPlatformID;
    return result;
  }

  int wsaStartup(std::uint16_t requested, std::uint16_t& highVersion) override {
    const auto call = exported<WsaStartup>("WSAStartup");
    if (!call) return WSASYSNOTREADY;
    WSADATA data{};
    const int result = call(requested, &data);
    if (result == 0) highVersion = data.wHighVersion;
    return result;
  }

  void wsaCleanup() override {
    if (const auto call = exported<WsaCleanup>("WSACleanup")) call();
  }

 private:
  template <typename Function>
  Function exported(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HMODULE module_;
};

}  // namespace

std::unique_ptr<LoadedLibrary> Win32LibraryLoader::loadLibrary(const std::string& name) {
  const auto wide = widen(name);
  const HMODULE module = wide ? LoadLibraryW(wide->c_str()) : nullptr;
  if (!module) return nullptr;
  return std::make_unique<Win32LoadedLibrary>(module);
}

}  // namespace ks
