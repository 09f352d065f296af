#include "app/uninstall.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace ks {
namespace {

constexpr const char* kUninstallKeyPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrova";

class UninstallTest : public ::testing::Test {
 protected:
  UninstallTest() {
    context.platform = fakes.ports();
    context.state.installDir = "/home/user/.local/opt/Kestrova";
    fakes.shell.folders[SpecialFolder::Desktop] = "/home/user/Desktop";
    fakes.shell.folders[SpecialFolder::Programs] = "/home/user/.local/share/applications";
    fakes.shell.folders[SpecialFolder::CommonPrograms] = "/usr/local/share/applications";
  }

  void installEverything() {
    auto& files = fakes.fileSystem;
    files.folders = {"/home/user/.local/opt/Kestrova", "/home/user/.local/opt/Kestrova/plugins",
                     "/home/user/Desktop", "/home/user/.local/share/applications/Kestrova",
                     "/usr/local/share/applications/Kestrova"};
    files.files["/home/user/.local/opt/Kestrova/Kestrova.exe"] = "x";
    files.files["/home/user/.local/opt/Kestrova/plugins/ftp.dll"] = "x";
    files.files["/home/user/Desktop/Kestrova.desktop"] = "x";
    files.files["/home/user/Desktop/Other.desktop"] = "x";
    files.files["/home/user/.local/share/applications/Kestrova/ReadMe.desktop"] = "x";
    files.files["/usr/local/share/applications/Kestrova/Uninstall.desktop"] = "x";
    fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
    fakes.registry.writeValue(RegistryRoot::CurrentUser, kProductKey, "Install Directory",
                              context.state.installDir);
    fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKeyPath);
  }

  std::vector<std::string> shownTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : fakes.dialogs.shown) texts.push_back(box.text);
    return texts;
  }

  test::FakePlatform fakes;
  SetupContext context;
};

TEST_F(UninstallTest, RemovesFolderShortcutsGroupsAndBothKeys) {
  installEverything();
  EXPECT_EQ(uninstallApplication(context), 1);
  EXPECT_TRUE(fakes.dialogs.shown.empty());
  EXPECT_EQ(fakes.fileSystem.files,
            (std::map<std::string, std::string>{{"/home/user/Desktop/Other.desktop", "x"}}));
  EXPECT_EQ(fakes.fileSystem.folders, (std::set<std::string>{"/home/user/Desktop"}));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKeyPath));
}

TEST_F(UninstallTest, NoInstallationFolderRemovesNothing) {
  installEverything();
  context.state.installDir.clear();
  fakes.dialogs.answers = {MessageAnswer::Ok};
  EXPECT_EQ(uninstallApplication(context), 0);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Registry key not found."}));
  EXPECT_EQ(fakes.dialogs.shown[0].caption, "Error");
  EXPECT_EQ(fakes.dialogs.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(fakes.fileSystem.files.size(), 6u);
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
}

TEST_F(UninstallTest, ThreeFlatSubkeysAreDeletedOnTheNtFamily) {
  installEverything();
  for (const char* sub : {"A", "B", "C"}) {
    fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\" + sub);
  }
  EXPECT_EQ(uninstallApplication(context), 1);
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
}

TEST_F(UninstallTest, ANestedSubkeyKeepsTheProductKeyAndTheUninstallEntry) {
  installEverything();
  fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\A\\Deep");
  fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\B");
  fakes.dialogs.answers = {MessageAnswer::Ok};
  EXPECT_EQ(uninstallApplication(context), 0);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Could not delete registry values."}));
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\A"));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\B"));
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKeyPath));
  // The files went all the same.
  EXPECT_FALSE(fakes.fileSystem.pathExists("/home/user/.local/opt/Kestrova"));
}

TEST_F(UninstallTest, TheWindows95FamilyDeletesTheProductKeyWithItsSubkeys) {
  installEverything();
  fakes.systemInfo.platform = kPlatformWindows95;
  fakes.registry.ntFamily = false;
  fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\A\\Deep");
  EXPECT_EQ(uninstallApplication(context), 1);
}

TEST_F(UninstallTest, AMissingUninstallKeyIsReportedAfterEverythingElse) {
  installEverything();
  fakes.registry.deleteKey(RegistryRoot::LocalMachine, kUninstallKeyPath);
  fakes.dialogs.answers = {MessageAnswer::Ok};
  EXPECT_EQ(uninstallApplication(context), 0);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Could not delete Uninstall string."}));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
  EXPECT_EQ(fakes.fileSystem.files.size(), 1u);
}

TEST_F(UninstallTest, NothingOnDiskAndNoShellFoldersStillSucceeds) {
  fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
  fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKeyPath);
  fakes.shell.folders.clear();
  EXPECT_EQ(uninstallApplication(context), 1);
}

TEST_F(UninstallTest, TheHomeFolderOrARootIsNeverDeleted) {
  for (const std::string dir : {"/home/user", "/home/user/", "/home", "/", "//", "/home/./user"}) {
    installEverything();
    fakes.fileSystem.files["/home/user/notes.txt"] = "keep";
    fakes.fileSystem.folders.insert("/home/user");
    context.state.installDir = dir;
    EXPECT_EQ(uninstallApplication(context), 1) << dir;
    EXPECT_TRUE(fakes.fileSystem.pathExists("/home/user/notes.txt")) << dir;
    // Shortcuts and groups still go.
    EXPECT_FALSE(fakes.fileSystem.pathExists("/home/user/Desktop/Kestrova.desktop")) << dir;
  }
}

TEST(ProtectedFolders, OnlyRootsTheHomeAndItsAncestors) {
  EXPECT_TRUE(isProtectedFolder("/", "/home/u"));
  EXPECT_TRUE(isProtectedFolder("/home/u", "/home/u/"));
  EXPECT_TRUE(isProtectedFolder("/home/u/x/..", "/home/u"));
  EXPECT_TRUE(isProtectedFolder("/home", "/home/u"));
  EXPECT_FALSE(isProtectedFolder("/home/u/.local/opt/Kestrova", "/home/u"));
  EXPECT_FALSE(isProtectedFolder("/home/u2", "/home/u"));
  EXPECT_FALSE(isProtectedFolder("/opt/Kestrova", "/home/u"));
  EXPECT_FALSE(isProtectedFolder("/opt/Kestrova", ""));
}

TEST_F(UninstallTest, DeleteTreeLeavesWhatItCannotRemove) {
  auto& files = fakes.fileSystem;
  files.folders = {"/t", "/t/a", "/t/a/b"};
  files.files = {{"/t/1", ""}, {"/t/a/2", ""}, {"/t/a/b/3", ""}};
  deleteTree(context, "/t", "");
  EXPECT_TRUE(files.files.empty());
  EXPECT_TRUE(files.folders.empty());

  deleteTree(context, "/missing", "");  // nothing to do, nothing breaks
  files.folders = {"/t"};
  const std::string longName(300, 'n');
  files.files = {{"/t/" + longName, ""}};
  deleteTree(context, "/t", "");
  EXPECT_EQ(files.files.size(), 1u);  // its path would not fit: it stays
  EXPECT_EQ(files.folders.size(), 1u);
}

}  // namespace
}  // namespace ks
