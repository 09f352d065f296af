#include "platform/posix/posix_file_system.h"

#include "tests/support/native_file_system.h"

namespace ks::test {

std::unique_ptr<FileSystem> makeNativeFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace ks::test
