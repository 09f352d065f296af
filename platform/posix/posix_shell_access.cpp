// Whether the user may write shortcuts into a menu or desktop folder.

#include <unistd.h>

#include <string>

#include "platform/posix/posix_shell.h"

namespace ks {

bool PosixShell::canWriteTo(SpecialFolder folder) {
  std::string path;
  return specialFolder(folder, path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

}  // namespace ks
