#pragma once
// FileSystem on the W functions of KERNEL32: UTF-16 paths, CreateFileW
// handles behind the port's handle numbers, SetFileTime and the handle's
// basic information for what a cabinet stores. Writing below a folder holds
// each folder on the way open with FILE_FLAG_OPEN_REPARSE_POINT and without
// FILE_SHARE_DELETE, refusing reparse points (win32_writing.cpp).

#include <map>
#include <mutex>

#include "platform/file_system.h"

namespace ks {

class Win32FileSystem : public FileSystem {
 public:
  Win32FileSystem() = default;
  ~Win32FileSystem() override;
  Win32FileSystem(const Win32FileSystem&) = delete;
  Win32FileSystem& operator=(const Win32FileSystem&) = delete;

  bool pathExists(const std::string& path) override;
  bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) override;
  // A reparse point (symbolic link, junction) is never listed as a folder.
  bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
  bool createFolder(const std::string& path) override;
  // GetDiskFreeSpaceExW's bytes available to the caller.
  bool freeSpace(const std::string& folder, std::uint64_t& bytes) override;

  // Handles (win32_file_handles.cpp): numbers that stand for CreateFileW
  // handles of this object.
  std::int32_t openForReading(const std::string& path) override;
  std::int32_t readHandle(std::int32_t handle, void* buffer, std::uint32_t count) override;
  std::int32_t writeHandle(std::int32_t handle, const void* buffer, std::uint32_t count) override;
  bool closeHandle(std::int32_t handle) override;
  std::int32_t seekHandle(std::int32_t handle, std::int32_t offset, int origin) override;
  // Creation and last-write time from the local time (LocalFileTimeToFileTime).
  bool setHandleTime(std::int32_t handle, const LocalDateTime& time) override;
  // SetFileInformationByHandle with the four attribute bits.
  bool setHandleAttributes(std::int32_t handle, std::uint32_t attributes) override;

  // Writing below a folder (win32_writing.cpp).
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
  // Windows knows programs by their name, not by a permission.
  bool setProgramMode(const std::string&, const std::string&) override { return true; }
  // A temporary file is made and removed again.
  bool canCreateFiles(const std::string& folder) override;
  // FormatMessageW of GetLastError.
  std::string lastErrorText() override;

  // Paths (win32_file_system_paths.cpp): GetFullPathNameW, then links and
  // junctions of the part that exists resolved by GetFinalPathNameByHandleW;
  // names compared in the system's upper case; lengths in UTF-16 units.
  bool canonicalPath(const std::string& path, std::string& canonical) override;
  std::string caseFolded(const std::string& path) override;
  std::size_t pathLength(const std::string& path) override;
  std::size_t maxPathLength() override;

 private:
  // The HANDLE of a number, or INVALID_HANDLE_VALUE.
  void* find(std::int32_t handle);
  // Keeps an open HANDLE under a new number (closing it when none is left).
  std::int32_t keep(void* file);

  std::mutex mutex_;
  std::map<std::int32_t, void*> handles_;
  std::int32_t next_ = 1;
};

}  // namespace ks
