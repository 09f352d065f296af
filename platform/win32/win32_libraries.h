#pragma once
// LibraryLoader on LoadLibraryW and GetProcAddress: DllGetVersion of a
// system library, WSAStartup and WSACleanup of a Winsock library.

#include "platform/libraries.h"

namespace ks {

class Win32LibraryLoader : public LibraryLoader {
 public:
  std::unique_ptr<LoadedLibrary> loadLibrary(const std::string& name) override;
};

}  // namespace ks
