#pragma once
// LibraryLoader on Linux: the Windows libraries the version probes ask for
// ("shlwapi.dll", Winsock libraries) don't exist here, so nothing loads and
// those probes report nothing installed.

#include "platform/libraries.h"

namespace ks {

class PosixLibraryLoader : public LibraryLoader {
 public:
  std::unique_ptr<LoadedLibrary> loadLibrary(const std::string& name) override;
};

}  // namespace ks
