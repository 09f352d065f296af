#pragma once
// Files and folders, as the setup uses them. Paths are in the platform's own
// form (see kPathSeparator).

#include <cstdint>
#include <string>

namespace ks {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when the attributes of the file or folder can be read.
  virtual bool pathExists(const std::string& path) = 0;
  // Reads a whole file of at most maxBytes bytes; false when it is missing,
  // unreadable or larger.
  virtual bool readFile(const std::string& path, std::string& content,
                        std::uint64_t maxBytes) = 0;
};

}  // namespace ks
