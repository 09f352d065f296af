#include "download/target_file.h"

namespace ks {

namespace {

// The download arrives in 1024-byte reads; the file is written in larger
// pieces so the system is asked once per this many bytes, not per read.
constexpr std::size_t kWriteBufferBytes = 256 * 1024;

}  // namespace

bool TargetFile::create(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  failed_ = false;
  if (file_) std::setvbuf(file_.get(), nullptr, _IOFBF, kWriteBufferBytes);
  return file_ != nullptr;
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
