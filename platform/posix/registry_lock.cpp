#include "platform/posix/registry_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace ks::registry {

TreeLock::TreeLock(const std::string& treeFolder, bool exclusive) {
  const std::string path = treeFolder + "/.lock";
  const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (exclusive ? O_CREAT : 0);
  file_ = UniqueFd(::open(path.c_str(), flags, 0600));
  if (!file_.valid()) {
    held_ = !exclusive && errno == ENOENT;
    return;
  }
  int result = 0;
  do {
    result = ::flock(file_.get(), exclusive ? LOCK_EX : LOCK_SH);
  } while (result != 0 && errno == EINTR);
  held_ = result == 0;
}

}  // namespace ks::registry
