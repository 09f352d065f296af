#include "download/target_file.h"

namespace ks {

namespace {

// The download arrives in 1024-byte reads; the file is written in larger
// pieces so the system is asked once per this many bytes, not per read. The
// buffer is our own: some C libraries keep their default size when asked for
// a larger one without being given the memory.
constexpr std::size_t kWriteBufferBytes = 256 * 1024;

}  // namespace

bool TargetFile::create(const std::string& path) {
  file_.reset();
  file_.reset(std::fopen(path.c_str(), "wb"));
  failed_ = false;
  if (!file_) return false;
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBufferBytes);
  std::setvbuf(file_.get(), buffer_.get(), _IOFBF, kWriteBufferBytes);
  return true;
}

bool TargetFile::write(const char* data, std::size_t size) {
  if (size != 0 && std::fwrite(data, 1, size, file_.get()) != size) failed_ = true;
  return !failed_;
}

bool TargetFile::close() {
  if (!file_) return !failed_;
  const bool closed = std::fclose(file_.release()) == 0;
  return closed && !failed_;
}

}  // namespace ks
