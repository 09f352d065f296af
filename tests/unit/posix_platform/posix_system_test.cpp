#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_platform.h"
#include "platform/system_info.h"
#include "tests/support/sha256_known_answers.h"
#include "tests/unit/posix_platform/temp_home.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

TEST(PosixSystemInfo, ReportsAnNtFamilySystemWithFixedFolders) {
  PosixSystemInfo info;
  EXPECT_EQ(info.platformId(), kPlatformWindowsNT);
  EXPECT_TRUE(info.isWindowsNT());
  EXPECT_EQ(info.windowsDirectory(), "/usr");
  EXPECT_EQ(info.systemDirectory(), "/usr/lib");
}

TEST(PosixSystemInfo, OwnProgramPathIsTheRunningTestProgram) {
  const std::string path = PosixSystemInfo().ownProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(std::filesystem::path(path).filename(), "posix_platform_tests");
  EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe"));
}

TEST(PosixLibraryLoader, WindowsLibrariesDoNotLoad) {
  PosixLibraryLoader loader;
  EXPECT_EQ(loader.loadLibrary("shlwapi.dll"), nullptr);
  EXPECT_EQ(loader.loadLibrary("wsock32.dll"), nullptr);
  EXPECT_EQ(loader.loadLibrary("libc.so.6"), nullptr);
}

// Installed files: ELF images and scripts may be run by whoever may read
// them; nothing else may be run, whatever mode it came with.
TEST(PosixFileSystem, ProgramsByTheirContentGetTheExecutePermission) {
  test::TempHome home;
  const std::string folder = home.path() + "/opt";
  fs::create_directories(folder + "/bin");
  const struct {
    const char* name;
    std::string content;
    fs::perms before;
    fs::perms after;
  } cases[] = {
      {"bin/kestrova",
       std::string("\x7f"
                   "ELF\x02\x01",
                   6),
       fs::perms(0644), fs::perms(0755)},
      {"run.sh", "#!/bin/sh\necho hi\n", fs::perms(0640), fs::perms(0750)},
      {"private", "#!/bin/sh\n", fs::perms(0600), fs::perms(0700)},
      {"readme.txt", "#not a script\n", fs::perms(0755), fs::perms(0644)},
      {"short",
       "\x7f"
       "EL",
       fs::perms(0644), fs::perms(0644)},
      {"empty", "", fs::perms(0644), fs::perms(0644)},
  };
  PosixFileSystem files;
  for (const auto& c : cases) {
    const std::string path = folder + "/" + c.name;
    test::writeWholeFile(path, c.content);
    fs::permissions(path, c.before);
    EXPECT_TRUE(files.setProgramMode(folder, c.name)) << c.name;
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::mask, c.after) << c.name;
  }
  // A link is not followed: its target keeps its mode.
  fs::create_symlink(folder + "/readme.txt", folder + "/link");
  fs::permissions(folder + "/readme.txt", fs::perms(0600));
  EXPECT_FALSE(files.setProgramMode(folder, "link"));
  EXPECT_FALSE(files.setProgramMode(folder, "missing"));
  EXPECT_EQ(fs::status(folder + "/readme.txt").permissions() & fs::perms::mask, fs::perms(0600));
}

TEST(PosixSystemInfo, TheDownloadCacheFollowsXdgCacheHomeAndIsMade) {
  test::TempHome home;
  PosixSystemInfo system;
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(system.downloadCacheFolder(), home.path() + "/.cache/kestrova-setup");
  EXPECT_TRUE(fs::is_directory(home.path() + "/.cache/kestrova-setup"));
  setenv("XDG_CACHE_HOME", "relative/cache", 1);  // ignored, as the rules say
  EXPECT_EQ(system.downloadCacheFolder(), home.path() + "/.cache/kestrova-setup");
  setenv("XDG_CACHE_HOME", (home.path() + "/cache").c_str(), 1);
  EXPECT_EQ(system.downloadCacheFolder(), home.path() + "/cache/kestrova-setup");
  unsetenv("XDG_CACHE_HOME");

  PosixFileSystem files;
  EXPECT_TRUE(files.canCreateFiles(home.path()));
  EXPECT_FALSE(files.canCreateFiles(home.path() + "/missing"));
  if (::geteuid() != 0) {  // root may write anywhere but on read-only mounts
    fs::create_directories(home.path() + "/locked");
    fs::permissions(home.path() + "/locked", fs::perms(0555));
    EXPECT_FALSE(files.canCreateFiles(home.path() + "/locked"));
  }
}

TEST(PosixPlatform, WiresEveryAdapterButTheDialogs) {
  test::TempHome home;
  PosixPlatform platform;
  const Platform ports = platform.ports();
  EXPECT_EQ(ports.systemInfo, &platform.systemInfo);
  EXPECT_EQ(ports.registry, &platform.registry);
  EXPECT_EQ(ports.fileSystem, &platform.fileSystem);
  EXPECT_EQ(ports.libraries, &platform.libraries);
  EXPECT_EQ(ports.versionResources, &platform.versionResources);
  EXPECT_EQ(ports.dialogs, nullptr);
  EXPECT_EQ(ports.hashing, &platform.hashing);
}

TEST(OpensslHashing, PublishedSha256Vectors) {
  OpensslHashing hashing;
  test::expectSha256KnownAnswers(hashing);
}

}  // namespace
}  // namespace ks
