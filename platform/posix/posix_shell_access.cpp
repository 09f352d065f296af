// Whether the user may write shortcuts into a menu or desktop folder.

#include <unistd.h>

#include <string>

#include "platform/posix/posix_shell.h"

namespace ks {

namespace {

// The folder, or the nearest one above it that exists, can be written and
// entered by this user.
bool writableOrCreatable(std::string folder) {
  for (;;) {
    if (::access(folder.c_str(), F_OK) == 0) return ::access(folder.c_str(), W_OK | X_OK) == 0;
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || folder == "/") return false;
    folder.resize(slash == 0 ? 1 : slash);
  }
}

}  // namespace

bool PosixShell::canWriteTo(SpecialFolder folder) {
  std::string path;
  return specialFolder(folder, path) && writableOrCreatable(path);
}

}  // namespace ks
