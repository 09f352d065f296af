#pragma once
// In-memory doubles of the ports, for unit tests.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/libraries.h"
#include "platform/platform.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/version_resources.h"
#include "tests/support/native_path.h"

namespace ks::test {

class FakeSystemInfo : public SystemInfo {
 public:
  int platform = kPlatformWindowsNT;
  std::string programPath = nativePath("/opt/dl/setup.exe");
  std::string windowsDir = nativePath("/usr");
  std::string systemDir = nativePath("/usr/lib");
  std::string homeDir = nativePath("/home/user");
  std::string profilesDir;

  int platformId() override { return platform; }
  bool isWindowsNT() override { return platform == kPlatformWindowsNT; }
  std::string ownProgramPath() override { return programPath; }
  std::string windowsDirectory() override { return windowsDir; }
  std::string systemDirectory() override { return systemDir; }
  std::string userHomeFolder() override { return homeDir; }
  std::string defaultSetupRoot() override { return homeDir; }
  std::string userProfilesFolder() override { return profilesDir; }
};

// Keys are compared without regard to case; a key with subkeys can't be
// deleted when ntFamily is set (the default).
class FakeRegistry : public Registry {
 public:
  bool ntFamily = true;

  bool openKey(RegistryRoot root, const std::string& path) override;
  bool createKey(RegistryRoot root, const std::string& path) override;
  bool readValue(RegistryRoot root, const std::string& path, const std::string& name,
                 std::string& value) override;
  bool writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                  const std::string& value) override;
  bool deleteValue(RegistryRoot root, const std::string& path, const std::string& name) override;
  bool deleteKey(RegistryRoot root, const std::string& path) override;
  bool subkeyCount(RegistryRoot root, const std::string& path, std::uint32_t& count) override;
  bool enumSubkey(RegistryRoot root, const std::string& path, std::uint32_t index,
                  std::string& name) override;

 private:
  struct Key {
    std::map<std::string, std::string> values;  // folded name -> value
  };
  static std::string fold(RegistryRoot root, const std::string& path);
  std::vector<std::string> children(const std::string& folded) const;
  std::map<std::string, Key> keys_;           // folded full path -> key
  std::map<std::string, std::string> names_;  // folded full path -> name as created
};

// Paths below a folder are joined with kPathSeparator; the fake writes no
// links (links below serve only how paths compare).
class FakeFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  // What freeSpace reports.
  std::uint64_t freeBytes = std::uint64_t{1} << 40;

  // The path as written, or its canonical form (see canonicalPath).
  bool pathExists(const std::string& path) override;
  bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) override;
  // Lists the files and folders directly below path; "." and ".." come first.
  bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) override;
  // Fails when the parent folder is missing or the path exists; paths listed
  // in unwritable can't be created.
  bool createFolder(const std::string& path) override;
  std::set<std::string> unwritable;
  bool freeSpace(const std::string&, std::uint64_t& bytes) override {
    bytes = freeBytes;
    return true;
  }

  // Handles on the files above (fake_file_handles.cpp). A file is created
  // only in an existing folder; a file whose attribute is read-only is never
  // replaced.
  struct OpenFile {
    std::string path;
    std::size_t position = 0;
    bool writable = false;
  };
  std::map<std::int32_t, OpenFile> openFiles;
  std::int32_t nextHandle = 3;
  std::map<std::string, LocalDateTime> fileTimes;
  std::map<std::string, std::uint32_t> fileAttributes;

  std::int32_t openForReading(const std::string& path) override;
  std::int32_t readHandle(std::int32_t handle, void* buffer, std::uint32_t count) override;
  std::int32_t writeHandle(std::int32_t handle, const void* buffer, std::uint32_t count) override;
  bool closeHandle(std::int32_t handle) override { return openFiles.erase(handle) > 0; }
  std::int32_t seekHandle(std::int32_t handle, std::int32_t offset, int origin) override;
  std::int32_t createFile(const std::string& folder, const std::string& below) override;
  std::int32_t openForAppending(const std::string& folder, const std::string& below,
                                std::uint64_t& size) override;
  bool setHandleTime(std::int32_t handle, const LocalDateTime& time) override;
  bool setHandleAttributes(std::int32_t handle, std::uint32_t attributes) override;
  bool renameFile(const std::string& folder, const std::string& from,
                  const std::string& to) override;
  // Files listed in undeletable stay (a read-only folder, a file in use).
  std::set<std::string> undeletable;
  bool deleteFile(const std::string& folder, const std::string& below) override;
  bool ensureFolder(const std::string& folder, const std::string& below) override;
  bool removeFolder(const std::string& folder, const std::string& below) override;
  bool copyFile(const std::string& from, const std::string& folder,
                const std::string& below) override;

  // Paths start with kPathSeparator (relative ones start in currentFolder)
  // and are made canonical as text after the links below (link path -> its
  // absolute target) are followed; with ignoreCase, names are compared
  // without regard to (ASCII) case, as on Windows. Lengths count bytes, up
  // to maxLength.
  std::string currentFolder = std::string(1, kPathSeparator);
  std::map<std::string, std::string> links;
  bool ignoreCase = false;
  std::size_t maxLength = 259;
  bool canonicalPath(const std::string& path, std::string& canonical) override;
  std::string caseFolded(const std::string& path) override;
  std::size_t pathLength(const std::string& path) override { return path.size(); }
  std::size_t maxPathLength() override { return maxLength; }

  // folder + kPathSeparator + below.
  static std::string join(const std::string& folder, const std::string& below);

 private:
  void forget(const std::string& path);
};

// Answers message boxes from a script and records every box shown. A box
// that no answer was scripted for fails the test.
class FakeDialogs : public Dialogs {
 public:
  std::vector<MessageBoxRequest> shown;
  std::deque<MessageAnswer> answers;
  // Folder-browse answers in order: a folder, or nullopt for Cancel.
  std::deque<std::optional<std::string>> browseAnswers;
  std::vector<std::string> browseTitles;

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  bool browseForFolder(const std::string& title, std::string& path) override;
  // Modal dialogs end at once with the scripted results; their ids are kept.
  std::deque<int> dialogResults;
  std::vector<int> dialogsRun;
  int runModalDialog(int templateId, ModalDialog& dialog) override;
};

class FakeLibrary : public LoadedLibrary {
 public:
  struct Script {
    bool hasDllGetVersion = false;
    std::int32_t dllGetVersionResult = 0;
    DllVersionInfo version;
    bool hasWsaStartup = false;
    bool hasWsaCleanup = false;
    int wsaStartupResult = 0;
    std::uint16_t wsaHighVersion = 0;
  };
  FakeLibrary(Script script, int& cleanups, int& unloads)
      : script_(script), cleanups_(cleanups), unloads_(unloads) {}
  ~FakeLibrary() override { ++unloads_; }

  bool hasExport(const std::string& name) override;
  std::int32_t dllGetVersion(DllVersionInfo& info) override;
  int wsaStartup(std::uint16_t requested, std::uint16_t& highVersion) override;
  void wsaCleanup() override { ++cleanups_; }

 private:
  Script script_;
  int& cleanups_;
  int& unloads_;
};

class FakeLibraryLoader : public LibraryLoader {
 public:
  std::map<std::string, FakeLibrary::Script> libraries;
  std::vector<std::string> loaded;
  int cleanups = 0;
  int unloads = 0;

  std::unique_ptr<LoadedLibrary> loadLibrary(const std::string& name) override;
};

class FakeVersionResources : public VersionResources {
 public:
  std::map<std::string, std::vector<std::uint8_t>> blocks;

  bool readVersionInfo(const std::string& path, std::vector<std::uint8_t>& block) override;
  std::map<std::string, std::vector<std::uint8_t>> icons;
  bool readFirstIcon(const std::string& path, std::vector<std::uint8_t>& iconFile) override;
};

// Special folders from a map (a missing entry can't be supplied); shortcuts
// are recorded and, when their folder exists in the file system, written as
// files holding "target|description".
class FakeShell : public Shell {
 public:
  explicit FakeShell(FakeFileSystem& files) : files_(files) {}
  std::map<SpecialFolder, std::string> folders;
  struct Shortcut {
    std::string target;
    std::string linkPath;
    std::string description;
  };
  std::vector<Shortcut> created;

  std::string extension = ".desktop";

  bool specialFolder(SpecialFolder folder, std::string& path) override;
  std::string shortcutExtension() override { return extension; }
  std::int32_t createShortcut(const std::string& target, const std::string& linkPath,
                              const std::string& description) override;
  // False for the folders named in unwritableFolders.
  bool canWriteTo(SpecialFolder folder) override { return !unwritableFolders.count(folder); }
  std::set<SpecialFolder> unwritableFolders;

 private:
  FakeFileSystem& files_;
};

class FakeProcesses : public Processes {
 public:
  struct Run {
    std::string program;
    std::string argv0;
  };
  std::vector<Run> runs;
  // Exit codes by program path; a program not listed can't be started.
  std::map<std::string, int> exitCodes;
  std::string runningFolder;  // "" = the client is not running

  bool runAndWait(const std::string& program, const std::string& argv0, int& exitCode) override;
  bool runningApplicationFolder(std::string& folder) override;
};

// All fakes together, wired into a Platform.
struct FakePlatform {
  FakeSystemInfo systemInfo;
  FakeRegistry registry;
  FakeFileSystem fileSystem;
  FakeLibraryLoader libraries;
  FakeVersionResources versionResources;
  FakeDialogs dialogs;
  FakeShell shell{fileSystem};
  FakeProcesses processes;

  Platform ports() {
    return Platform{.systemInfo = &systemInfo,
                    .registry = &registry,
                    .fileSystem = &fileSystem,
                    .libraries = &libraries,
                    .versionResources = &versionResources,
                    .dialogs = &dialogs,
                    .shell = &shell,
                    .processes = &processes};
  }
};

}  // namespace ks::test
