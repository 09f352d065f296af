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
  virtual bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) = 0;

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
  // Creates one folder (its parent must exist); false when it can't, also
  // when it exists already.
  virtual bool createFolder(const std::string& path) = 0;
  // Removes an empty folder; false when it is missing or not empty.
  virtual bool removeFolder(const std::string& path) = 0;
  // Copies a file, replacing an existing target; false on failure.
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;

  // Low-level file handles, through which cabinet extraction streams its
  // files.
  enum class FileAccess { Read, Write, ReadWrite };
  // Opens a file and returns its handle, or -1. create: make a missing file;
  // truncate: empty an existing one. A file whose read-only attribute is set
  // is never opened for writing.
  virtual std::int32_t openHandle(const std::string& path, FileAccess access, bool create,
                                  bool truncate) = 0;
  // Bytes read (0 at the end of the file) or written; -1 on failure.
  virtual std::int32_t readHandle(std::int32_t handle, void* buffer, std::uint32_t count) = 0;
  virtual std::int32_t writeHandle(std::int32_t handle, const void* buffer,
                                   std::uint32_t count) = 0;
  virtual bool closeHandle(std::int32_t handle) = 0;
  // origin 0 counts from the start of the file, 1 from the current position.
  // The new position, or -1.
  virtual std::int32_t seekHandle(std::int32_t handle, std::int32_t offset, int origin) = 0;

  // A calendar date and time on the computer's local clock.
  struct LocalDateTime {
    int year = 1980;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
  };
  // Sets the file's last-write time (and its creation time where the system
  // keeps one) to a local time; the last-access time stays.
  virtual bool setFileTime(const std::string& path, const LocalDateTime& time) = 0;
  // MS-DOS attribute bits of a file.
  static constexpr std::uint32_t kAttributeReadOnly = 0x01;
  static constexpr std::uint32_t kAttributeHidden = 0x02;
  static constexpr std::uint32_t kAttributeSystem = 0x04;
  static constexpr std::uint32_t kAttributeArchive = 0x20;
  // Sets the read-only, hidden, system and archive bits of a file.
  virtual bool setFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
};

}  // namespace ks
