// FakeFileSystem: file handles, file times and attributes.

#include <algorithm>
#include <cstring>

#include "tests/support/fake_platform.h"

namespace ks::test {

namespace {

std::string parentOf(const std::string& path) {
  const std::size_t at = path.rfind('/');
  return at == std::string::npos ? std::string() : path.substr(0, at);
}

}  // namespace

std::int32_t FakeFileSystem::openHandle(const std::string& path, FileAccess access, bool create,
                                        bool truncate) {
  const bool writing = access != FileAccess::Read;
  auto attributes = fileAttributes.find(path);
  if (writing && attributes != fileAttributes.end() &&
      (attributes->second & kAttributeReadOnly) != 0)
    return -1;
  if (folders.count(path) != 0) return -1;
  if (files.count(path) == 0) {
    const std::string parent = parentOf(path);
    if (!create || (!parent.empty() && folders.count(parent) == 0)) return -1;
    files[path];
  }
  if (truncate && writing) files[path].clear();
  const std::int32_t handle = nextHandle++;
  openFiles[handle] = OpenFile{path, 0, writing};
  return handle;
}

std::int32_t FakeFileSystem::readHandle(std::int32_t handle, void* buffer, std::uint32_t count) {
  auto found = openFiles.find(handle);
  if (found == openFiles.end()) return -1;
  const std::string& data = files[found->second.path];
  std::size_t& position = found->second.position;
  if (position >= data.size()) return 0;
  const std::size_t got = std::min<std::size_t>(count, data.size() - position);
  std::memcpy(buffer, data.data() + position, got);
  position += got;
  return static_cast<std::int32_t>(got);
}

std::int32_t FakeFileSystem::writeHandle(std::int32_t handle, const void* buffer,
                                         std::uint32_t count) {
  auto found = openFiles.find(handle);
  if (found == openFiles.end() || !found->second.writable) return -1;
  std::string& data = files[found->second.path];
  std::size_t& position = found->second.position;
  if (data.size() < position + count) data.resize(position + count);
  std::memcpy(data.data() + position, buffer, count);
  position += count;
  return static_cast<std::int32_t>(count);
}

std::int32_t FakeFileSystem::seekHandle(std::int32_t handle, std::int32_t offset, int origin) {
  auto found = openFiles.find(handle);
  if (found == openFiles.end() || (origin != 0 && origin != 1)) return -1;
  const std::int64_t base = origin == 1 ? static_cast<std::int64_t>(found->second.position) : 0;
  if (base + offset < 0) return -1;
  found->second.position = static_cast<std::size_t>(base + offset);
  return static_cast<std::int32_t>(found->second.position);
}

bool FakeFileSystem::setFileTime(const std::string& path, const LocalDateTime& time) {
  if (files.count(path) == 0) return false;
  fileTimes[path] = time;
  return true;
}

bool FakeFileSystem::setFileAttributes(const std::string& path, std::uint32_t attributes) {
  if (files.count(path) == 0) return false;
  fileAttributes[path] = attributes;
  return true;
}

}  // namespace ks::test
