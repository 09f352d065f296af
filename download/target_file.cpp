#include "download/target_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "download/content_length.h"
#include "download/download_url.h"

namespace ks {

namespace {

constexpr const char* kPartialEnding = ".part";
constexpr const char* kSourceEnding = ".source";
// A source record is a URL and two short lines; anything longer is not one
// of ours.
constexpr std::uint64_t kLargestSourceBytes = 8 * 1024;
// Sizes are held signed.
constexpr std::uint64_t kLargestTotal = std::numeric_limits<std::int64_t>::max();
// The download arrives in 1024-byte reads; the file is written in larger
// pieces so the system is asked once per this many bytes, not per read.
constexpr std::size_t kWriteBufferBytes = 256 * 1024;

std::string sourceNameOf(const std::string& name) {
  return partialNameOf(name) + kSourceEnding;
}

// The path of a file in a download's folder ("" is the current folder).
std::string inFolder(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : joinPath(folder, name);
}

// A source record: the URL without its user name or password, the total
// ("-1" for unknown) and the validator, one line each.
std::string sourceRecordOf(const std::string& url, const PartialOrigin& origin) {
  return urlForDisplay(url) + '\n' + std::to_string(origin.total) + '\n' + origin.validator;
}

// The origin a record of url holds; false when the record is of another URL
// or not one of ours.
bool readSourceRecord(const std::string& record, const std::string& url, PartialOrigin& origin) {
  const std::string prefix = urlForDisplay(url) + '\n';
  if (!record.starts_with(prefix)) return false;
  const std::size_t end = record.find('\n', prefix.size());
  if (end == std::string::npos) return false;
  const std::string total = record.substr(prefix.size(), end - prefix.size());
  std::uint64_t size = 0;
  if (total == "-1") {
    origin.total = -1;
  } else if (parseContentLength(total, size) && size <= kLargestTotal) {
    origin.total = static_cast<std::int64_t>(size);
  } else {
    return false;
  }
  origin.validator = record.substr(end + 1);
  return origin.validator.empty() || isValidatorText(origin.validator);
}

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

bool isValidatorText(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

Resumable resumableOf(FileSystem& files, const std::string& path, const std::string& url) {
  const SplitPath parts = targetParts(path);
  std::string source;
  Resumable resumable;
  if (!files.readFile(inFolder(parts.folder, sourceNameOf(parts.name)), source,
                      kLargestSourceBytes) ||
      !readSourceRecord(source, url, resumable.origin)) {
    return {};
  }
  const std::int32_t handle =
      files.openForAppending(parts.folder, partialNameOf(parts.name), resumable.bytes);
  if (handle < 0) return {};
  files.closeHandle(handle);
  return resumable;
}

std::uint64_t resumableBytes(FileSystem& files, const std::string& path, const std::string& url) {
  return resumableOf(files, path, url).bytes;
}

TargetFile::~TargetFile() {
  closeHandle();
  if (owned_) removeFiles();
}

void TargetFile::start(const std::string& path) {
  closeHandle();
  if (owned_) removeFiles();
  SplitPath parts = targetParts(path);
  folder_ = std::move(parts.folder);
  name_ = std::move(parts.name);
  failed_ = false;
  closed_ = false;
  buffered_ = 0;
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBufferBytes);
  owned_ = true;
}

// The source is recorded first: a NAME.part is never there without it.
bool TargetFile::create(const std::string& path, const std::string& url,
                        const PartialOrigin& origin) {
  start(path);
  const std::string record = sourceRecordOf(url, origin);
  const std::int32_t source = files_.createFile(folder_, sourceNameOf(name_));
  if (source < 0) return false;
  const bool recorded =
      files_.writeHandle(source, record.data(), static_cast<std::uint32_t>(record.size())) ==
      static_cast<std::int32_t>(record.size());
  if (!files_.closeHandle(source) || !recorded) return false;
  handle_ = files_.createFile(folder_, partialNameOf(name_));
  return handle_ >= 0;
}

bool TargetFile::append(const std::string& path, std::uint64_t bytes) {
  start(path);
  std::uint64_t size = 0;
  handle_ = files_.openForAppending(folder_, partialNameOf(name_), size);
  if (handle_ >= 0 && size == bytes) return true;
  closeHandle();
  removeFiles();
  owned_ = false;
  return false;
}

bool TargetFile::write(const char* data, std::size_t size) {
  if (handle_ < 0) return false;  // never opened, or done
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
  if (closed_) return true;
  if (handle_ < 0) return false;
  const bool written = flush();
  const bool closed = files_.closeHandle(std::exchange(handle_, -1));
  closed_ = written && closed;
  if (closed_) return true;
  failed_ = true;
  removeFiles();
  owned_ = false;
  return false;
}

std::string TargetFile::partialPath() const {
  return inFolder(folder_, partialNameOf(name_));
}

bool TargetFile::commit() {
  if (!close()) return false;
  owned_ = false;
  if (!files_.renameFile(folder_, partialNameOf(name_), name_)) {
    removeFiles();
    return false;
  }
  files_.deleteFile(folder_, sourceNameOf(name_));
  return true;
}

// What was received is worth keeping only when all of it reached the file.
void TargetFile::keep() {
  if (!owned_) return;
  if (close()) owned_ = false;
}

void TargetFile::discard(const std::string& path) {
  closeHandle();
  SplitPath parts = targetParts(path);
  folder_ = std::move(parts.folder);
  name_ = std::move(parts.name);
  removeFiles();
  owned_ = false;
}

void TargetFile::closeHandle() {
  if (handle_ >= 0) files_.closeHandle(std::exchange(handle_, -1));
}

void TargetFile::removeFiles() {
  files_.deleteFile(folder_, partialNameOf(name_));
  files_.deleteFile(folder_, sourceNameOf(name_));
}

}  // namespace ks
