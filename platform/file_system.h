#pragma once
// Files and folders, as the setup uses them. Paths are in the platform's own
// form (see kPathSeparator).

#include <cstdint>
#include <string>
#include <vector>

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

  // One entry of a folder listing. A symbolic link (or junction) is never a
  // folder here, whatever it points to.
  struct FolderEntry {
    std::string name;
    bool isFolder = false;
  };
  // The entries of a folder, "." and ".." included where the system lists
  // them; false when the folder can't be read.
  virtual bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) = 0;
  // Deletes a file (a link itself, never its target); false on failure.
  virtual bool deleteFile(const std::string& path) = 0;
  // Removes an empty folder; false when it is missing or not empty.
  virtual bool removeFolder(const std::string& path) = 0;
  // Copies a file, replacing an existing target; false on failure.
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;
};

}  // namespace ks
