#pragma once
// System libraries loaded by name for the version probes ("LibVersion" asks a
// library for its DllGetVersion, "WinsockVersion" starts Windows Sockets).

#include <cstdint>
#include <memory>
#include <string>

namespace ks {

// The fields of the DLLVERSIONINFO record the probes read.
struct DllVersionInfo {
  std::uint32_t size = 20;
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
};

// A library loaded for one probe; unloaded when the object goes.
class LoadedLibrary {
 public:
  virtual ~LoadedLibrary() = default;
  virtual bool hasExport(const std::string& name) = 0;
  // Calls DllGetVersion; the HRESULT it returns (negative means failure).
  virtual std::int32_t dllGetVersion(DllVersionInfo& info) = 0;
  // Calls WSAStartup; 0 on success, with the wHighVersion of the WSADATA.
  virtual int wsaStartup(std::uint16_t requested, std::uint16_t& highVersion) = 0;
  virtual void wsaCleanup() = 0;
};

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // Loads a library by name or path; null when it can't be loaded.
  virtual std::unique_ptr<LoadedLibrary> loadLibrary(const std::string& name) = 0;
};

}  // namespace ks
