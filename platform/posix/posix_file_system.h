#pragma once
// FileSystem on POSIX file calls.

#include "platform/file_system.h"

namespace ks {

class PosixFileSystem : public FileSystem {
 public:
  bool pathExists(const std::string& path) override;
  bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) override;
};

}  // namespace ks
