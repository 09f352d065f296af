// Shortcuts on the Linux desktop: XDG folders from a temporary home, and
// .desktop entries that the freedesktop validator accepts.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/uninstall.h"
#include "install/integration.h"
#include "platform/posix/png_file.h"
#include "platform/posix/posix_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/support/posix/run_command.h"
#include "tests/unit/integration/icon_files.h"

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
  // target, link (set below), description, menu name, comment, icon, categories
  const Shell::Shortcut cases[] = {
      {"/opt/Kestrova/Kestrova.exe", "", "Kestrova", "", "Transfer files",
       "/home/u/.local/share/icons/hicolor/32x32/apps/kestrova.png", "Network;FileTransfer;"},
      {"/opt/Kes trova/setup.exe", "", "Uninstall", "Uninstall Kestrova", "", "", ""},
      {"/opt/odd \"$`\\%dir/readme.txt", "", "ReadMe", "Kestrova Read Me", "", "",
       "Network;FileTransfer;"},
      {"/opt/Kestrova/setup.exe", "", "Name with\nline break", "", "", "", ""}};
  int n = 0;
  for (Shell::Shortcut c : cases) {
    c.linkPath = dir.path() + "/entry" + std::to_string(n++) + ".desktop";
    ASSERT_EQ(shell.createShortcut(c), 0);
    const auto result = test::runCommand({"/usr/bin/desktop-file-validate", c.linkPath});
    EXPECT_EQ(result.exitCode, 0) << readAll(c.linkPath) << result.out << result.err;
  }
  EXPECT_EQ(readAll(dir.path() + "/entry0.desktop"),
            "[Desktop Entry]\nType=Application\nName=Kestrova\nComment=Transfer files\n"
            "Exec=\"/opt/Kestrova/Kestrova.exe\"\n"
            "Icon=/home/u/.local/share/icons/hicolor/32x32/apps/kestrova.png\n"
            "Categories=Network;FileTransfer;\n");
  // A document opens in the user's application for it.
  EXPECT_EQ(readAll(dir.path() + "/entry2.desktop"),
            "[Desktop Entry]\nType=Application\nName=Kestrova Read Me\n"
            "Exec=xdg-open \"/opt/odd \\\\\"\\\\$\\\\`\\\\\\\\%%dir/readme.txt\"\n"
            "Categories=Network;FileTransfer;\n");
  // Only an entry on the desktop is a launcher.
  EXPECT_EQ(fs::status(dir.path() + "/entry0.desktop").permissions() & fs::perms::owner_exec,
            fs::perms::none);
}

// The value of a key in a desktop entry; "" when it has none.
std::string entryValue(const std::string& path, const std::string& key) {
  std::istringstream text(readAll(path));
  std::string line;
  while (std::getline(text, line)) {
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

// A real installation's integration in a temporary home, with the program's
// icon (32x32, stored as PNG) as the PE reader would give it.
TEST(DesktopIntegration, EntriesAreValidShowTheInstalledIconAndGoWithUninstall) {
  if (!validatorAvailable()) GTEST_SKIP() << "desktop-file-validate is not installed";
  TemporaryHome temp;
  const std::string home = temp.home.path();
  PosixPlatform posix;
  test::FakeVersionResources icons;
  test::FakeDialogs dialogs;
  SetupContext context;
  context.platform = posix.ports();
  context.platform.versionResources = &icons;
  context.platform.dialogs = &dialogs;
  context.state.installDir = home + "/.local/opt/Kestrova";
  context.state.setupFileName = "kestrova-setup";
  fs::create_directories(context.state.installDir);
  fs::create_directories(home + "/Desktop");
  context.installation.folder = context.state.installDir;
  context.installation.setupCopy = InstallationRecord::SetupCopy::Made;
  const std::vector<std::uint8_t> png =
      encodePng(32, 32, std::vector<std::uint8_t>(32 * 32 * 4, 9));
  icons.icons[context.state.installDir + "/Kestrova.exe"] = test::iconFile({{32, png}});

  integrateApplication(context, {.desktop = true, .userPrograms = true, .commonPrograms = false});

  const std::string launcher = home + "/Desktop/Kestrova.desktop";
  const std::string menu = home + "/.local/share/applications/Kestrova/";
  const std::map<std::string, std::string> names = {
      {launcher, "Kestrova"},
      {menu + "Kestrova.desktop", "Kestrova"},
      {menu + "Uninstall.desktop", "Uninstall Kestrova"},
      {menu + "ReadMe.desktop", "Kestrova Read Me"}};
  const std::string iconPath = home + "/.local/share/icons/hicolor/32x32/apps/kestrova.png";
  for (const auto& [entry, name] : names) {
    const auto result = test::runCommand({"/usr/bin/desktop-file-validate", entry});
    EXPECT_EQ(result.exitCode, 0) << entry << "\n" << readAll(entry) << result.out << result.err;
    EXPECT_EQ(entryValue(entry, "Name"), name);
    EXPECT_EQ(entryValue(entry, "Icon"), iconPath);
    EXPECT_EQ(entryValue(entry, "Categories"), "Network;FileTransfer;");
    EXPECT_FALSE(entryValue(entry, "Comment").empty());
  }
  EXPECT_EQ(readAll(iconPath), std::string(png.begin(), png.end()));
  EXPECT_EQ(fs::status(launcher).permissions() & fs::perms::mask, static_cast<fs::perms>(0755));

  ASSERT_EQ(uninstallApplication(context).result, 1);
  EXPECT_FALSE(fs::exists(iconPath));
  EXPECT_FALSE(fs::exists(launcher));
  EXPECT_FALSE(fs::exists(menu));
}

TEST(DesktopEntries, ALinkIntoAMissingFolderFails) {
  test::TempDir dir;
  PosixShell shell;
  EXPECT_NE(shell.createShortcut({"/x", dir.path() + "/missing/k.desktop", "K", "", "", "", ""}),
            0);
  EXPECT_FALSE(fs::exists(dir.path() + "/missing"));
}

}  // namespace
}  // namespace ks
