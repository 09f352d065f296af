#include "platform/posix/posix_libraries.h"

namespace ks {

std::unique_ptr<LoadedLibrary> PosixLibraryLoader::loadLibrary(const std::string&) {
  return nullptr;
}

}  // namespace ks
