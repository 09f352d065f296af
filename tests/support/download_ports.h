#pragma once
// The ports a download works through, for tests that run the worker.

#include "platform/platform.h"

namespace ks::test {

inline Platform downloadPorts(InternetApi& internet, FileSystem& files,
                              Hashing* hashing = nullptr) {
  Platform ports;
  ports.fileSystem = &files;
  ports.hashing = hashing;
  ports.internet = &internet;
  return ports;
}

}  // namespace ks::test
