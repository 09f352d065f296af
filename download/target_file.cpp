#include "download/target_file.h"

#include <algorithm>
#include <cstring>

namespace ks {

namespace {

// The download arrives in 1024-byte reads; the file is written in larger
// pieces so the system is asked once per this many bytes, not per read.
constexpr std::size_t kWriteBufferBytes = 256 * 1024;

}  // namespace

// A file still open (the transfer failed) keeps what arrived.
TargetFile::~TargetFile() {
  close();
}

bool TargetFile::create(const std::string& path) {
  close();
  handle_ = files_.openHandle(path, FileSystem::FileAccess::Write, true, true);
  failed_ = false;
  buffered_ = 0;
  if (handle_ < 0) return false;
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBufferBytes);
  return true;
}

bool TargetFile::write(const char* data, std::size_t size) {
  if (handle_ < 0) return false;  // never created, or closed
  while (size > 0 && !failed_) {
    const std::size_t take = std::min(size, kWriteBufferBytes - buffered_);
    std::memcpy(buffer_.get() + buffered_, data, take);
    buffered_ += take;
    data += take;
    size -= take;
    if (buffered_ == kWriteBufferBytes) flush();
  }
  return !failed_;
}

bool TargetFile::flush() {
  if (buffered_ > 0 && !failed_) {
    const auto count = static_cast<std::uint32_t>(buffered_);
    if (files_.writeHandle(handle_, buffer_.get(), count) != static_cast<std::int32_t>(count)) {
      failed_ = true;
    }
  }
  buffered_ = 0;
  return !failed_;
}

bool TargetFile::close() {
  if (handle_ < 0) return !failed_;
  flush();
  if (!files_.closeHandle(handle_)) failed_ = true;
  handle_ = -1;
  return !failed_;
}

}  // namespace ks
