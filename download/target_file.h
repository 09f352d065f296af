#pragma once
// The local file a download writes. It is written as NAME.part in the folder
// of NAME, created only once the server has answered, block by block through
// the file system port, and renamed over NAME only when the transfer is
// complete and checked (commit). A transfer that ends any other way removes
// NAME.part, so NAME stays as it was and no partial file ever carries its
// name.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/paths.h"
#include "platform/file_system.h"

namespace ks {

// The name a download is written under until it is complete.
std::string partialNameOf(const std::string& name);

// The folder a download's path lies in and its name: the text before and
// after the last separator; the root for a file directly in it, and ""
// (the current folder) for a bare name.
SplitPath targetParts(const std::string& path);

class TargetFile {
 public:
  explicit TargetFile(FileSystem& files) : files_(files) {}
  // A file not committed is removed.
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Starts NAME.part for path (a stale one is replaced); false when it can't
  // be created.
  bool create(const std::string& path);
  // False when not every byte reached the file (e.g. the disk is full).
  bool write(const char* data, std::size_t size);
  // Writes what is buffered, closes the file and renames it over NAME; false
  // (and the partial file removed) when a write failed on the way or now.
  bool commit();

 private:
  bool flush();
  void abandon();

  FileSystem& files_;
  std::string folder_;
  std::string name_;
  std::int32_t handle_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t buffered_ = 0;
  bool failed_ = false;
};

}  // namespace ks
