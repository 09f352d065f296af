// Shortcuts on the Linux desktop: XDG folders from a temporary home, and
// .desktop entries that the freedesktop validator accepts.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/posix/posix_shell.h"
#include "tests/support/posix/run_command.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

// Points HOME and the XDG variables at a temporary home for one test.
class TemporaryHome {
 public:
  TemporaryHome() {
    setenv("HOME", home.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
  }
  ~TemporaryHome() {
    if (saved) setenv("HOME", saved->c_str(), 1);
  }
  test::TempDir home;

 private:
  std::optional<std::string> saved =
      std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
};

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool validatorAvailable() {
  return ::access("/usr/bin/desktop-file-validate", X_OK) == 0;
}

TEST(PosixShellFolders, FollowTheHomeAndTheXdgSettings) {
  TemporaryHome temp;
  PosixShell shell(temp.home.path() + "/common");
  std::string path;
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::Desktop, path));
  EXPECT_EQ(path, temp.home.path() + "/Desktop");
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::Programs, path));
  EXPECT_EQ(path, temp.home.path() + "/.local/share/applications");
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::CommonPrograms, path));
  EXPECT_EQ(path, temp.home.path() + "/common");

  temp.home.write(".config/user-dirs.dirs",
                  "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::Desktop, path));
  EXPECT_EQ(path, temp.home.path() + "/Schreibtisch");
  setenv("XDG_DATA_HOME", (temp.home.path() + "/data").c_str(), 1);
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::Programs, path));
  EXPECT_EQ(path, temp.home.path() + "/data/applications");
  unsetenv("XDG_DATA_HOME");
}

TEST(DesktopEntries, ProgramsAndDocumentsAreValidEntries) {
  if (!validatorAvailable()) GTEST_SKIP() << "desktop-file-validate is not installed";
  test::TempDir dir;
  PosixShell shell;
  const struct {
    const char* target;
    const char* description;
  } cases[] = {{"/opt/Kestrova/Kestrova.exe", "Kestrova"},
               {"/opt/Kes trova/setup.exe", "Uninstall"},
               {"/opt/odd \"$`\\%dir/readme.txt", "ReadMe"},
               {"/opt/Kestrova/setup.exe", "Name with\nline break"}};
  int n = 0;
  for (const auto& c : cases) {
    const std::string link = dir.path() + "/entry" + std::to_string(n++) + ".desktop";
    ASSERT_EQ(shell.createShortcut(c.target, link, c.description), 0);
    const auto result = test::runCommand({"/usr/bin/desktop-file-validate", link});
    EXPECT_EQ(result.exitCode, 0) << readAll(link) << result.out << result.err;
  }
  EXPECT_EQ(readAll(dir.path() + "/entry0.desktop"),
            "[Desktop Entry]\nType=Application\nExec=\"/opt/Kestrova/Kestrova.exe\"\n"
            "Name=Kestrova\n");
  EXPECT_EQ(readAll(dir.path() + "/entry2.desktop"),
            "[Desktop Entry]\nType=Link\nURL=file:///opt/odd%20%22%24%60%5C%25dir/readme.txt\n"
            "Name=ReadMe\n");
}

TEST(DesktopEntries, ALinkIntoAMissingFolderFails) {
  test::TempDir dir;
  PosixShell shell;
  EXPECT_NE(shell.createShortcut("/x", dir.path() + "/missing/k.desktop", "K"), 0);
  EXPECT_FALSE(fs::exists(dir.path() + "/missing"));
}

}  // namespace
}  // namespace ks
