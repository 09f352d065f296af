// FakeFileSystem: file handles, stamping, and writing below a folder.

#include <algorithm>
#include <cstring>

#include "tests/support/fake_platform.h"

namespace ks::test {

namespace {

std::string parentOf(const std::string& path) {
  const std::size_t at = path.rfind(kPathSeparator);
  return at == std::string::npos ? std::string() : path.substr(0, at);
}

// True when path lies in folder itself, not deeper.
bool isDirectlyBelow(const std::string& folder, const std::string& path) {
  return path.size() > folder.size() + 1 && path.rfind(folder + kPathSeparator, 0) == 0 &&
         path.find(kPathSeparator, folder.size() + 1) == std::string::npos;
}

}  // namespace

std::string FakeFileSystem::join(const std::string& folder, const std::string& below) {
  if (below.empty()) return folder;
  return folder.empty() || folder.back() == kPathSeparator ? folder + below
                                                           : folder + kPathSeparator + below;
}

void FakeFileSystem::forget(const std::string& path) {
  files.erase(path);
  fileTimes.erase(path);
  fileAttributes.erase(path);
}

std::int32_t FakeFileSystem::openForReading(const std::string& path) {
  if (files.count(path) == 0) return -1;
  const std::int32_t handle = nextHandle++;
  openFiles[handle] = OpenFile{path, 0, false};
  return handle;
}

std::int32_t FakeFileSystem::createFile(const std::string& folder, const std::string& below) {
  const std::string path = join(folder, below);
  const std::string parent = parentOf(path);
  if (folders.count(path) != 0 || (!parent.empty() && folders.count(parent) == 0)) return -1;
  forget(path);
  files[path];
  const std::int32_t handle = nextHandle++;
  openFiles[handle] = OpenFile{path, 0, true};
  return handle;
}

std::int32_t FakeFileSystem::openForAppending(const std::string& folder, const std::string& below,
                                              std::uint64_t& size) {
  const std::string path = join(folder, below);
  const auto found = files.find(path);
  if (found == files.end() || (fileAttributes[path] & kAttributeReadOnly) != 0) return -1;
  size = found->second.size();
  const std::int32_t handle = nextHandle++;
  openFiles[handle] = OpenFile{path, found->second.size(), true};
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

bool FakeFileSystem::setHandleTime(std::int32_t handle, const LocalDateTime& time) {
  auto found = openFiles.find(handle);
  if (found == openFiles.end() || !found->second.writable) return false;
  fileTimes[found->second.path] = time;
  return true;
}

bool FakeFileSystem::setHandleAttributes(std::int32_t handle, std::uint32_t attributes) {
  auto found = openFiles.find(handle);
  if (found == openFiles.end() || !found->second.writable) return false;
  fileAttributes[found->second.path] = attributes;
  return true;
}

bool FakeFileSystem::renameFile(const std::string& folder, const std::string& from,
                                const std::string& to) {
  const std::string source = join(folder, from);
  const std::string target = join(folder, to);
  auto attributes = fileAttributes.find(target);
  if (files.count(source) == 0 || folders.count(target) != 0 ||
      (attributes != fileAttributes.end() && (attributes->second & kAttributeReadOnly) != 0)) {
    return false;
  }
  forget(target);
  files[target] = std::move(files[source]);
  if (fileTimes.count(source) != 0) fileTimes[target] = fileTimes[source];
  if (fileAttributes.count(source) != 0) fileAttributes[target] = fileAttributes[source];
  forget(source);
  return true;
}

bool FakeFileSystem::deleteFile(const std::string& folder, const std::string& below) {
  const std::string path = join(folder, below);
  if (files.count(path) == 0 || undeletable.count(path)) return false;
  forget(path);
  return true;
}

bool FakeFileSystem::ensureFolder(const std::string& folder, const std::string& below) {
  const std::string path = join(folder, below);
  if (folders.count(path) != 0) return true;
  return files.count(path) == 0 && createFolder(path);
}

bool FakeFileSystem::removeFolder(const std::string& folder, const std::string& below) {
  const std::string path = join(folder, below);
  if (!folders.count(path)) return false;
  for (const auto& [file, content] : files) {
    if (isDirectlyBelow(path, file)) return false;
  }
  for (const std::string& other : folders) {
    if (isDirectlyBelow(path, other)) return false;
  }
  folders.erase(path);
  return true;
}

bool FakeFileSystem::copyFile(const std::string& from, const std::string& folder,
                              const std::string& below) {
  const std::string to = join(folder, below);
  auto source = files.find(from);
  if (source == files.end() || from == to || !folders.count(parentOf(to))) return false;
  files[to] = source->second;
  return true;
}

}  // namespace ks::test
