#include "platform/posix/posix_system_info.h"

#include <unistd.h>

#include <vector>

#include "platform/posix/registry_folders.h"
#include "platform/posix/xdg_folders.h"

namespace ks {

std::string PosixSystemInfo::ownProgramPath() {
  // readlink doesn't say whether it had to cut the target: grow the buffer
  // until the result fits with room to spare.
  for (std::size_t capacity = 256; capacity <= 65536; capacity *= 2) {
    std::vector<char> buffer(capacity);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
  }
  return {};
}

std::string PosixSystemInfo::userHomeFolder() {
  return homeFolder();
}

std::string PosixSystemInfo::downloadCacheFolder() {
  const std::string folder = cacheHomeFolder() + "/kestrova-setup";
  return registry::makeFolders(folder) ? folder : std::string();
}

}  // namespace ks
