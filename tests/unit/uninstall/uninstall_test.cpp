#include "app/uninstall.h"

#include <gtest/gtest.h>

#include "app/install_manifest.h"
#include "app/protected_folders.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

using test::nativePath;

constexpr const char* kUninstallKeyPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrova";

class UninstallTest : public ::testing::Test {
 protected:
  UninstallTest() {
    context.platform = fakes.ports();
    context.state.installDir = nativePath("/home/user/.local/opt/Kestrova");
    fakes.shell.folders[SpecialFolder::Desktop] = nativePath("/home/user/Desktop");
    fakes.shell.folders[SpecialFolder::Programs] =
        nativePath("/home/user/.local/share/applications");
    fakes.shell.folders[SpecialFolder::CommonPrograms] =
        nativePath("/usr/local/share/applications");
  }

  // A path in the installation folder.
  std::string installed(const std::string& name) const {
    return context.state.installDir + nativePath("/" + name);
  }

  // An installation as the setup leaves it: files, setup copy, manifest,
  // shortcuts, program groups and both keys.
  void installEverything() {
    auto& files = fakes.fileSystem;
    files.folders = {context.state.installDir, installed("plugins"),
                     nativePath("/home/user/Desktop"),
                     nativePath("/home/user/.local/share/applications/Kestrova"),
                     nativePath("/usr/local/share/applications/Kestrova")};
    files.files[installed("Kestrova.exe")] = "x";
    files.files[installed("plugins/ftp.dll")] = "x";
    files.files[installed("setup.exe")] = "x";
    files.files[nativePath("/home/user/Desktop/Kestrova.desktop")] = "x";
    files.files[nativePath("/home/user/Desktop/Other.desktop")] = "x";
    files.files[nativePath("/home/user/.local/share/applications/Kestrova/ReadMe.desktop")] = "x";
    files.files[nativePath("/usr/local/share/applications/Kestrova/Uninstall.desktop")] = "x";
    fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
    fakes.registry.writeValue(RegistryRoot::CurrentUser, kProductKey, "Install Directory",
                              context.state.installDir);
    fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKeyPath);
    fakes.registry.writeValue(RegistryRoot::LocalMachine, kUninstallKeyPath, "UninstallString",
                              installed("setup.exe") + " -uninstall");
    writeInstallManifest(fakes.registry,
                         {"Kestrova.exe", nativePath("plugins/ftp.dll"), "setup.exe"});
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
  EXPECT_EQ(uninstallApplication(context).result, 1);
  EXPECT_TRUE(fakes.dialogs.shown.empty());
  EXPECT_EQ(
      fakes.fileSystem.files,
      (std::map<std::string, std::string>{{nativePath("/home/user/Desktop/Other.desktop"), "x"}}));
  EXPECT_EQ(fakes.fileSystem.folders, (std::set<std::string>{nativePath("/home/user/Desktop")}));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKeyPath));
}

TEST_F(UninstallTest, NoInstallationFolderRemovesNothing) {
  installEverything();
  context.state.installDir.clear();
  fakes.dialogs.answers = {MessageAnswer::Ok};
  EXPECT_EQ(uninstallApplication(context).result, 0);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Registry key not found."}));
  EXPECT_EQ(fakes.dialogs.shown[0].caption, "Error");
  EXPECT_EQ(fakes.dialogs.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(fakes.fileSystem.files.size(), 7u);
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
}

TEST_F(UninstallTest, ThreeFlatSubkeysAreDeletedOnTheNtFamily) {
  installEverything();
  for (const char* sub : {"A", "B", "C"}) {
    fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\" + sub);
  }
  EXPECT_EQ(uninstallApplication(context).result, 1);
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
}

TEST_F(UninstallTest, ANestedSubkeyKeepsTheProductKeyAndTheUninstallEntry) {
  installEverything();
  fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\A\\Deep");
  fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\B");
  fakes.dialogs.answers = {MessageAnswer::Ok};
  EXPECT_EQ(uninstallApplication(context).result, 0);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Could not delete registry values."}));
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\A"));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\B"));
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKeyPath));
  // The files went all the same.
  EXPECT_FALSE(fakes.fileSystem.pathExists(context.state.installDir));
}

TEST_F(UninstallTest, TheWindows95FamilyDeletesTheProductKeyWithItsSubkeys) {
  installEverything();
  fakes.systemInfo.platform = kPlatformWindows95;
  fakes.registry.ntFamily = false;
  fakes.registry.createKey(RegistryRoot::CurrentUser, std::string(kProductKey) + "\\A\\Deep");
  EXPECT_EQ(uninstallApplication(context).result, 1);
}

TEST_F(UninstallTest, AnUninstallEntryThatWasNeverWrittenIsNotMissing) {
  installEverything();
  fakes.registry.deleteKey(RegistryRoot::LocalMachine, kUninstallKeyPath);
  EXPECT_TRUE(uninstallComplete(uninstallApplication(context)));
  EXPECT_TRUE(fakes.dialogs.shown.empty());
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
  EXPECT_EQ(fakes.fileSystem.files.size(), 1u);
}

TEST_F(UninstallTest, NothingOnDiskAndNoShellFoldersStillSucceeds) {
  fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
  fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKeyPath);
  fakes.shell.folders.clear();
  EXPECT_EQ(uninstallApplication(context).result, 1);
}

TEST_F(UninstallTest, TheUsersOwnFilesStayAndSoDoesTheFolder) {
  installEverything();
  fakes.fileSystem.files[installed("notes.txt")] = "mine";
  fakes.fileSystem.folders.insert(installed("Other"));
  fakes.fileSystem.files[installed("Other/tool")] = "mine";
  // Names that would leave the folder are never acted on.
  fakes.fileSystem.files[nativePath("/home/user/.bashrc")] = "mine";
  writeInstallManifest(
      fakes.registry,
      {"Kestrova.exe", nativePath("plugins/ftp.dll"), "setup.exe", nativePath("../../.bashrc"),
       nativePath("/home/user/.bashrc"), nativePath("plugins/..")});
  const UninstallResult removal = uninstallApplication(context);
  EXPECT_TRUE(uninstallComplete(removal));
  EXPECT_TRUE(removal.folderKept);
  for (const char* gone : {"Kestrova.exe", "plugins/ftp.dll", "plugins", "setup.exe"}) {
    EXPECT_FALSE(fakes.fileSystem.pathExists(installed(gone))) << gone;
  }
  EXPECT_EQ(fakes.fileSystem.files[installed("notes.txt")], "mine");
  EXPECT_EQ(fakes.fileSystem.files[installed("Other/tool")], "mine");
  EXPECT_EQ(fakes.fileSystem.files[nativePath("/home/user/.bashrc")], "mine");
  EXPECT_EQ(uninstallClosingMessage(removal, context.state.installDir),
            std::string(kUninstallSucceeded) + "\n\nThe folder '" + context.state.installDir +
                "' was kept because it holds other files.");
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kManifestKey));
}

TEST_F(UninstallTest, AFileThatStaysMakesTheRemovalIncomplete) {
  installEverything();
  fakes.fileSystem.undeletable.insert(installed("plugins/ftp.dll"));
  const UninstallResult removal = uninstallApplication(context);
  EXPECT_EQ(removal.result, 1);
  EXPECT_FALSE(uninstallComplete(removal));
  EXPECT_EQ(uninstallClosingMessage(removal, context.state.installDir), kUninstallIncomplete);
  // The running setup program is the one file that may stay; the closing
  // message asks the user to delete it only while it is there.
  installEverything();
  fakes.fileSystem.undeletable = {installed("setup.exe")};
  context.state.setupPath = installed("setup.exe");
  UninstallResult kept = uninstallApplication(context);
  EXPECT_TRUE(uninstallComplete(kept));
  EXPECT_EQ(uninstallClosingMessage(kept, context.state.installDir), kUninstallSucceeded);
  installEverything();
  fakes.fileSystem.undeletable.clear();
  const UninstallResult gone = uninstallApplication(context);
  EXPECT_EQ(uninstallClosingMessage(gone, context.state.installDir),
            "Application successfully uninstalled");
}

// What the packages of a version-info file name, as install/package_contents
// lists them.
bool listedContents(SetupContext&, const Component& component, const std::string&,
                    std::vector<std::string>& names) {
  if (component.title == "App") {
    names.insert(names.end(), {"Kestrova.exe", nativePath("plugins/ftp.dll")});
  }
  return true;
}

TEST_F(UninstallTest, AnInstallationWithoutManifestGoesWholeOnlyWhenAllOfItIsKnown) {
  installEverything();
  fakes.registry.deleteKey(RegistryRoot::CurrentUser, kManifestKey);
  context.state.setupDir = nativePath("/home/user/Downloads");
  fakes.fileSystem.folders.insert(context.state.setupDir);
  fakes.fileSystem.files[nativePath("/home/user/Downloads/version2.ini")] =
      "[Sites]\nSite01=s\n[G.App]\nTitle=App\nInstall=2\nURL01=http://h/app.cab\n";
  fakes.fileSystem.files[installed("plugins/notes.txt")] = "mine";
  UninstallResult removal = uninstallApplication(context, listedContents);
  EXPECT_TRUE(removal.folderKept);
  EXPECT_EQ(fakes.fileSystem.files[installed("plugins/notes.txt")], "mine");
  EXPECT_FALSE(fakes.fileSystem.pathExists(installed("plugins/ftp.dll")));
  EXPECT_FALSE(fakes.fileSystem.pathExists(installed("setup.exe")));  // named by the entry

  // Nothing but what is known: the folder goes whole, as it always did.
  installEverything();
  fakes.registry.deleteKey(RegistryRoot::CurrentUser, kManifestKey);
  fakes.fileSystem.files.erase(installed("plugins/notes.txt"));
  removal = uninstallApplication(context, listedContents);
  EXPECT_TRUE(uninstallComplete(removal));
  EXPECT_FALSE(removal.folderKept);
  EXPECT_FALSE(fakes.fileSystem.pathExists(context.state.installDir));
}

TEST_F(UninstallTest, TheHomeFolderOrARootIsNeverDeleted) {
  for (const char* dir : {"/home/user", "/home/user/", "/home", "/", "//", "/home/./user"}) {
    installEverything();
    fakes.fileSystem.files[nativePath("/home/user/notes.txt")] = "keep";
    fakes.fileSystem.folders.insert(nativePath("/home/user"));
    context.state.installDir = nativePath(dir);
    EXPECT_EQ(uninstallApplication(context).result, 1) << dir;
    EXPECT_TRUE(fakes.fileSystem.pathExists(nativePath("/home/user/notes.txt"))) << dir;
    // Shortcuts and groups still go.
    EXPECT_FALSE(fakes.fileSystem.pathExists(nativePath("/home/user/Desktop/Kestrova.desktop")))
        << dir;
  }
}

TEST_F(UninstallTest, ProtectedFoldersWhateverTheirSpelling) {
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
  files.folders = {nativePath("/t"), nativePath("/t/a"), nativePath("/t/a/b")};
  files.files = {
      {nativePath("/t/1"), ""}, {nativePath("/t/a/2"), ""}, {nativePath("/t/a/b/3"), ""}};
  deleteTree(context, nativePath("/t"), "");
  EXPECT_TRUE(files.files.empty());
  EXPECT_TRUE(files.folders.empty());

  deleteTree(context, nativePath("/missing"), "");  // nothing to do, nothing breaks
  files.folders = {nativePath("/t")};
  const std::string longName(300, 'n');
  files.files = {{nativePath("/t/") + longName, ""}};
  deleteTree(context, nativePath("/t"), "");
  EXPECT_EQ(files.files.size(), 1u);  // its path would not fit: it stays
  EXPECT_EQ(files.folders.size(), 1u);
}

}  // namespace
}  // namespace ks
