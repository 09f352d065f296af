// ksetup-tool hash: the SHA256 line of each package for its component
// section, computed exactly as the setup checks the package.

#include <cstdio>

#include "catalog/sha256_text.h"
#include "download/file_digest.h"
#include "tools/commands.h"

namespace ks::tool {

int runHashCommand(const Arguments& args, const AdapterSet& adapters) {
  if (args.empty()) {
    std::fputs("usage: ksetup-tool hash FILE...\n", stderr);
    return 2;
  }
  int exitCode = 0;
  for (const std::string& path : args) {
    Sha256Digest digest{};
    if (!sha256OfFile(*adapters.ports.fileSystem, *adapters.ports.hashing, path, digest)) {
      std::fprintf(stderr, "ksetup-tool hash: %s can't be read\n", path.c_str());
      exitCode = 1;
      continue;
    }
    std::printf("SHA256=%s\n", sha256Text(digest).c_str());
  }
  return exitCode;
}

}  // namespace ks::tool
