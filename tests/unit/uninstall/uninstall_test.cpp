#include "app/uninstall.h"

#include <gtest/gtest.h>

#include "app/protected_folders.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

constexpr const char* kUninstallKeyPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrova";

class UninstallTest : public ::testing::Test {
 protected:
  UninstallTest() {
    context.platform = fakes.ports();
    context.state.installDir = test::nativePath("/home/user/.local/opt/Kestrova");
    fakes.shell.folders[SpecialFolder::Desktop] = test::nativePath("/home/user/Desktop");
    fakes.shell.folders[SpecialFolder::Programs] = test::nativePath("/home/user/.local/share/applications");
    fakes.shell.folders[SpecialFolder::CommonPrograms] = test::nativePath("/usr/local/share/applications");
  }

  void installEverything() {
    auto& files = fakes.fileSystem;
    files.folders = {test::nativePath("/home/user/.local/opt/Kestrova"), test::nativePath("/home/user/.local/opt/Kestrova/plugins"),
                     test::nativePath("/home/user/Desktop"), test::nativePath("/home/user/.local/share/applications/Kestrova"),
                     test::nativePath("/usr/local/share/applications/Kestrova")};
    files.files[test::nativePath("/home/user/.local/opt/Kestrova/Kestrova.exe")] = "x";
    files.files[test::nativePath("/home/user/.local/opt/Kestrova/plugins/ftp.dll")] = "x";
    files.files[test::nativePath("/home/user/Desktop/Kestrova.desktop")] = "x";
    files.files[test::nativePath("/home/user/Desktop/Other.desktop")] = "x";
    files.files[test::nativePath("/home/user/.local/share/applications/Kestrova/ReadMe.desktop")] = "x";
    files.files[test::nativePath("/usr/local/share/applications/Kestrova/Uninstall.desktop")] = "x";
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
            (std::map<std::string, std::string>{{test::nativePath("/home/user/Desktop/Other.desktop"), "x"}}));
  EXPECT_EQ(fakes.fileSystem.folders, (std::set<std::string>{test::nativePath("/home/user/Desktop")}));
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
  EXPECT_FALSE(fakes.fileSystem.pathExists(test::nativePath("/home/user/.local/opt/Kestrova")));
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
  for (const std::string& dir : {test::nativePath("/home/user"), test::nativePath("/home/user/"), test::nativePath("/home"), test::nativePath("/"), test::nativePath("//"), test::nativePath("/home/./user")}) {
    installEverything();
    fakes.fileSystem.files[test::nativePath("/home/user/notes.txt")] = "keep";
    fakes.fileSystem.folders.insert(test::nativePath("/home/user"));
    context.state.installDir = dir;
    EXPECT_EQ(uninstallApplication(context), 1) << dir;
    EXPECT_TRUE(fakes.fileSystem.pathExists(test::nativePath("/home/user/notes.txt"))) << dir;
    // Shortcuts and groups still go.
    EXPECT_FALSE(fakes.fileSystem.pathExists(test::nativePath("/home/user/Desktop/Kestrova.desktop"))) << dir;
  }
}

TEST_F(UninstallTest, ProtectedFoldersWhateverTheirSpelling) {
  using test::nativePath;
  auto& files = fakes.fileSystem;
  fakes.systemInfo.profilesDir = nativePath("/home");
  files.links[nativePath("/h")] = nativePath("/home/user");
  for (const char* folder : {"/", "//", "/home/./..", "/home/user", "/home/user/", "/h",
                             "/home/user/x/..", "/home", "/usr", "/usr/lib", "/home/other"}) {
    EXPECT_TRUE(isProtectedFolder(context, nativePath(folder))) << folder;
  }
  for (const char* folder : {"/home/user/.local/opt/Kestrova", "/h/Apps", "/opt/Kestrova",
                             "/usr/local/Kestrova", "/HOME/USER"}) {
    EXPECT_FALSE(isProtectedFolder(context, nativePath(folder))) << folder;
  }
  files.ignoreCase = true;  // as on Windows
  EXPECT_TRUE(isProtectedFolder(context, nativePath("/HOME/USER")));
  EXPECT_TRUE(isProtectedFolder(context, nativePath("/Home/Someone")));
}

TEST_F(UninstallTest, DeleteTreeLeavesWhatItCannotRemove) {
  auto& files = fakes.fileSystem;
  files.folders = {test::nativePath("/t"), test::nativePath("/t/a"), test::nativePath("/t/a/b")};
  files.files = {{test::nativePath("/t/1"), ""}, {test::nativePath("/t/a/2"), ""}, {test::nativePath("/t/a/b/3"), ""}};
  deleteTree(context, test::nativePath("/t"), "");
  EXPECT_TRUE(files.files.empty());
  EXPECT_TRUE(files.folders.empty());

  deleteTree(context, test::nativePath("/missing"), "");  // nothing to do, nothing breaks
  files.folders = {test::nativePath("/t")};
  const std::string longName(300, 'n');
  files.files = {{test::nativePath("/t/") + longName, ""}};
  deleteTree(context, test::nativePath("/t"), "");
  EXPECT_EQ(files.files.size(), 1u);  // its path would not fit: it stays
  EXPECT_EQ(files.folders.size(), 1u);
}

}  // namespace
}  // namespace ks
