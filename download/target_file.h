#pragma once
// The local file a download writes: created (or emptied) only once the
// server has answered, written block by block, never deleted by the engine.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace ks {

class TargetFile {
 public:
  // Creates the file, replacing an existing one; false when it can't be.
  bool create(const std::string& path);
  // False when not every byte reached the file (e.g. the disk is full).
  bool write(const char* data, std::size_t size);
  // Closes the file; false when a write failed on the way or now.
  bool close();

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  // Declared before the file, so the file is closed (and flushed) before
  // its buffer goes.
  std::unique_ptr<char[]> buffer_;
  std::unique_ptr<std::FILE, Closer> file_;
  bool failed_ = false;
};

}  // namespace ks
