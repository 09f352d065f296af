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
  bool createFolder(const std::string& path) override;
  bool removeFolder(const std::string& path) override;
  bool copyFile(const std::string& from, const std::string& to) override;

  // Handles are file descriptors (posix_file_handles.cpp).
  std::int32_t openHandle(const std::string& path, FileAccess access, bool create,
                          bool truncate) override;
  std::int32_t readHandle(std::int32_t handle, void* buffer, std::uint32_t count) override;
  std::int32_t writeHandle(std::int32_t handle, const void* buffer, std::uint32_t count) override;
  bool closeHandle(std::int32_t handle) override;
  std::int32_t seekHandle(std::int32_t handle, std::int32_t offset, int origin) override;
  // The modification time through utimensat (Linux keeps no creation time).
  bool setFileTime(const std::string& path, const LocalDateTime& time) override;
  // Read-only clears the write bits; every bit is also kept in the
  // user.DOSATTRIB extended attribute where the file system has one.
  bool setFileAttributes(const std::string& path, std::uint32_t attributes) override;
};

}  // namespace ks
