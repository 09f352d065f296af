#pragma once
// The file system adapter of the platform the tests run on (POSIX or
// Win32), for tests of the core that need real files.

#include <memory>

#include "platform/file_system.h"

namespace ks::test {

// Made by the platform's own library (tests/support/native/).
std::unique_ptr<FileSystem> makeNativeFileSystem();

class NativeFileSystem : public FileSystem {
 public:
  NativeFileSystem() : native_(makeNativeFileSystem()) {}

  bool pathExists(const std::string& path) override { return native_->pathExists(path); }
  bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) override {
    return native_->readFile(path, content, maxBytes);
  }
  bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override {
    return native_->listFolder(path, entries);
  }
  bool createFolder(const std::string& path) override { return native_->createFolder(path); }
  bool freeSpace(const std::string& folder, std::uint64_t& bytes) override {
    return native_->freeSpace(folder, bytes);
  }
  std::int32_t openForReading(const std::string& path) override {
    return native_->openForReading(path);
  }
  std::int32_t readHandle(std::int32_t handle, void* buffer, std::uint32_t count) override {
    return native_->readHandle(handle, buffer, count);
  }
  std::int32_t writeHandle(std::int32_t handle, const void* buffer, std::uint32_t count) override {
    return native_->writeHandle(handle, buffer, count);
  }
  bool closeHandle(std::int32_t handle) override { return native_->closeHandle(handle); }
  std::int32_t seekHandle(std::int32_t handle, std::int32_t offset, int origin) override {
    return native_->seekHandle(handle, offset, origin);
  }
  bool setHandleTime(std::int32_t handle, const LocalDateTime& time) override {
    return native_->setHandleTime(handle, time);
  }
  bool setHandleAttributes(std::int32_t handle, std::uint32_t attributes) override {
    return native_->setHandleAttributes(handle, attributes);
  }
  std::int32_t createFile(const std::string& folder, const std::string& below) override {
    return native_->createFile(folder, below);
  }
  std::int32_t openForAppending(const std::string& folder, const std::string& below,
                                std::uint64_t& size) override {
    return native_->openForAppending(folder, below, size);
  }
  bool renameFile(const std::string& folder, const std::string& from,
                  const std::string& to) override {
    return native_->renameFile(folder, from, to);
  }
  bool deleteFile(const std::string& folder, const std::string& below) override {
    return native_->deleteFile(folder, below);
  }
  bool ensureFolder(const std::string& folder, const std::string& below) override {
    return native_->ensureFolder(folder, below);
  }
  bool removeFolder(const std::string& folder, const std::string& below) override {
    return native_->removeFolder(folder, below);
  }
  bool copyFile(const std::string& from, const std::string& folder,
                const std::string& below) override {
    return native_->copyFile(from, folder, below);
  }
  std::string lastErrorText() override { return native_->lastErrorText(); }
  bool canCreateFiles(const std::string& folder) override {
    return native_->canCreateFiles(folder);
  }
  bool setProgramMode(const std::string& folder, const std::string& below) override {
    return native_->setProgramMode(folder, below);
  }
  bool canonicalPath(const std::string& path, std::string& canonical) override {
    return native_->canonicalPath(path, canonical);
  }
  std::string caseFolded(const std::string& path) override { return native_->caseFolded(path); }
  std::size_t pathLength(const std::string& path) override { return native_->pathLength(path); }
  std::size_t maxPathLength() override { return native_->maxPathLength(); }

 private:
  std::unique_ptr<FileSystem> native_;
};

}  // namespace ks::test
