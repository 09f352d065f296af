#include "tests/support/source_dir.h"

#include <cstdlib>

namespace ks::test {

std::string sourceDir() {
  const char* dir = std::getenv("KS_SOURCE_DIR");
  return dir && *dir ? dir : KS_BUILT_FROM_SOURCE_DIR;
}

}  // namespace ks::test
