#pragma once
// Ports for fuzz targets: one file held in memory, everything else absent.
// Whether a probed path exists is decided by the input, so both branches run.

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "platform/libraries.h"
#include "platform/platform.h"
#include "platform/version_resources.h"

namespace ks::fuzz {

class MemoryFileSystem : public FileSystem {
 public:
  std::string path;
  std::string content;

  bool pathExists(const std::string& candidate) override {
    return !candidate.empty() && (candidate.size() % 2 == 0);
  }
  bool readFile(const std::string& candidate, std::string& out, std::uint64_t maxBytes) override {
    if (candidate != path || content.size() > maxBytes) return false;
    out = content;
    return true;
  }
  bool listFolder(const std::string&, std::vector<FolderEntry>&) override { return false; }
  bool createFolder(const std::string&) override { return false; }
  bool freeSpace(const std::string&, std::uint64_t&) override { return false; }
  std::int32_t openForReading(const std::string&) override { return -1; }
  std::int32_t readHandle(std::int32_t, void*, std::uint32_t) override { return -1; }
  std::int32_t writeHandle(std::int32_t, const void*, std::uint32_t) override { return -1; }
  bool closeHandle(std::int32_t) override { return false; }
  std::int32_t seekHandle(std::int32_t, std::int32_t, int) override { return -1; }
  std::int32_t createFile(const std::string&, const std::string&) override { return -1; }
  std::int32_t openForAppending(const std::string&, const std::string&, std::uint64_t&) override {
    return -1;
  }
  bool setHandleTime(std::int32_t, const LocalDateTime&) override { return false; }
  bool setHandleAttributes(std::int32_t, std::uint32_t) override { return false; }
  bool renameFile(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
  bool deleteFile(const std::string&, const std::string&) override { return false; }
  bool ensureFolder(const std::string&, const std::string&) override { return false; }
  bool removeFolder(const std::string&, const std::string&) override { return false; }
  bool copyFile(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
  bool setProgramMode(const std::string&, const std::string&) override { return false; }
  bool canCreateFiles(const std::string&) override { return false; }
  std::string lastErrorText() override { return {}; }
  bool canonicalPath(const std::string&, std::string&) override { return false; }
  std::string caseFolded(const std::string& text) override { return text; }
  std::size_t pathLength(const std::string& text) override { return text.size(); }
  std::size_t maxPathLength() override { return 259; }
};

class NoLibraries : public LibraryLoader {
 public:
  std::unique_ptr<LoadedLibrary> loadLibrary(const std::string&) override { return nullptr; }
};

class NoVersionResources : public VersionResources {
 public:
  bool readVersionInfo(const std::string&, std::vector<std::uint8_t>&) override { return false; }
  bool readFirstIcon(const std::string&, std::vector<std::uint8_t>&) override { return false; }
};

struct MemoryPlatform {
  MemoryFileSystem fileSystem;
  NoLibraries libraries;
  NoVersionResources versionResources;

  Platform ports() {
    return Platform{
        .fileSystem = &fileSystem, .libraries = &libraries, .versionResources = &versionResources};
  }
};

}  // namespace ks::fuzz
