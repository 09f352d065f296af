#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_platform.h"
#include "platform/system_info.h"
#include "tests/support/sha256_known_answers.h"
#include "tests/unit/posix_platform/temp_home.h"

namespace ks {
namespace {

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
