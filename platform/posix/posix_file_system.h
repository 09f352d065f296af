#pragma once
// FileSystem on POSIX file calls.

#include "platform/file_system.h"

namespace ks {

class PosixFileSystem : public FileSystem {
 public:
  bool pathExists(const std::string& path) override;
  bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) override;
  bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
  bool createFolder(const std::string& path) override;
  // statvfs: the blocks available to unprivileged users.
  bool freeSpace(const std::string& folder, std::uint64_t& bytes) override;

  // Handles are file descriptors (posix_file_handles.cpp).
  std::int32_t openForReading(const std::string& path) override;
  std::int32_t readHandle(std::int32_t handle, void* buffer, std::uint32_t count) override;
  std::int32_t writeHandle(std::int32_t handle, const void* buffer, std::uint32_t count) override;
  bool closeHandle(std::int32_t handle) override;
  std::int32_t seekHandle(std::int32_t handle, std::int32_t offset, int origin) override;
  // The modification time through futimens (Linux keeps no creation time).
  bool setHandleTime(std::int32_t handle, const LocalDateTime& time) override;
  // Read-only clears the write bits; every bit is also kept in the
  // user.DOSATTRIB extended attribute where the file system has one.
  bool setHandleAttributes(std::int32_t handle, std::uint32_t attributes) override;

  // Writing below a folder, walked with openat (posix_writing.cpp). A file
  // without any write bit counts as read-only.
  std::int32_t createFile(const std::string& folder, const std::string& below) override;
  std::int32_t openForAppending(const std::string& folder, const std::string& below,
                                std::uint64_t& size) override;
  bool renameFile(const std::string& folder, const std::string& from,
                  const std::string& to) override;
  bool deleteFile(const std::string& folder, const std::string& below) override;
  bool ensureFolder(const std::string& folder, const std::string& below) override;
  bool removeFolder(const std::string& folder, const std::string& below) override;
  bool copyFile(const std::string& from, const std::string& folder,
                const std::string& below) override;
  bool setProgramMode(const std::string& folder, const std::string& below) override;
  // Asked with the user's effective ids: a read-only file system says no.
  bool canCreateFiles(const std::string& folder) override;
  std::string lastErrorText() override;

  // Paths (posix_file_system_paths.cpp): links resolved by the kernel, case
  // kept, lengths in bytes.
  bool canonicalPath(const std::string& path, std::string& canonical) override;
  std::string caseFolded(const std::string& path) override;
  std::size_t pathLength(const std::string& path) override;
  std::size_t maxPathLength() override;
};

}  // namespace ks
