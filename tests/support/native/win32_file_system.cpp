#include "platform/win32/win32_file_system.h"

#include "tests/support/native_file_system.h"

namespace ks::test {

std::unique_ptr<FileSystem> makeNativeFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace ks::test
