#include "download/target_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ks {

namespace {

constexpr const char* kPartialEnding = ".part";
// The download arrives in 1024-byte reads; the file is written in larger
// pieces so the system is asked once per this many bytes, not per read.
constexpr std::size_t kWriteBufferBytes = 256 * 1024;

}  // namespace

std::string partialNameOf(const std::string& name) {
  return name + kPartialEnding;
}

SplitPath targetParts(const std::string& path) {
  SplitPath parts = splitAtLastSeparator(path);
  if (parts.folder.empty() && !path.empty() && path.front() == kPathSeparator) {
    parts.folder = std::string(1, kPathSeparator);
  }
  return parts;
}

TargetFile::~TargetFile() {
  abandon();
}

bool TargetFile::create(const std::string& path) {
  abandon();
  SplitPath parts = targetParts(path);
  folder_ = std::move(parts.folder);
  name_ = std::move(parts.name);
  failed_ = false;
  buffered_ = 0;
  handle_ = files_.createFile(folder_, partialNameOf(name_));
  if (handle_ < 0) return false;
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBufferBytes);
  return true;
}

bool TargetFile::write(const char* data, std::size_t size) {
  if (handle_ < 0) return false;  // never created, or done
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

bool TargetFile::commit() {
  if (handle_ < 0) return false;
  const bool written = flush();
  const bool closed = files_.closeHandle(std::exchange(handle_, -1));
  if (written && closed && files_.renameFile(folder_, partialNameOf(name_), name_)) return true;
  files_.deleteFile(folder_, partialNameOf(name_));
  return false;
}

void TargetFile::abandon() {
  if (handle_ < 0) return;
  files_.closeHandle(std::exchange(handle_, -1));
  files_.deleteFile(folder_, partialNameOf(name_));
}

}  // namespace ks
