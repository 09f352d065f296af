#pragma once
// The local file a download writes: created (or emptied) only once the
// server has answered, written block by block through the file system port,
// never deleted by the engine.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace ks {

class TargetFile {
 public:
  explicit TargetFile(FileSystem& files) : files_(files) {}
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Creates the file, replacing an existing one; false when it can't be.
  bool create(const std::string& path);
  // False when not every byte reached the file (e.g. the disk is full).
  bool write(const char* data, std::size_t size);
  // Writes what is buffered and closes the file; false when a write failed
  // on the way or now.
  bool close();

 private:
  bool flush();

  FileSystem& files_;
  std::int32_t handle_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t buffered_ = 0;
  bool failed_ = false;
};

}  // namespace ks
