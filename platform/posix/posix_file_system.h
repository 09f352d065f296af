#pragma once
// FileSystem on POSIX file calls.

#include "platform/file_system.h"

namespace ks {

class PosixFileSystem : public FileSystem {
 public:
  bool pathExists(const std::string& path) override;
  bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) override;
  bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
  bool deleteFile(const std::string& path) override;
  bool removeFolder(const std::string& path) override;
  bool copyFile(const std::string& from, const std::string& to) override;
};

}  // namespace ks
