#include "install/integration.h"

#include <gtest/gtest.h>

#include "app/paths.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

constexpr const char* kUninstallKeyPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrova";

class IntegrationTest : public ::testing::Test {
 protected:
  IntegrationTest() {
    context.platform = fakes.ports();
    context.state.installDir = test::nativePath("/home/user/.local/opt/Kestrova");
    context.state.setupFileName = "setup.exe";
    fakes.shell.folders[SpecialFolder::Desktop] = test::nativePath("/home/user/Desktop");
    fakes.shell.folders[SpecialFolder::Programs] =
        test::nativePath("/home/user/.local/share/applications");
    fakes.shell.folders[SpecialFolder::CommonPrograms] =
        test::nativePath("/usr/local/share/applications");
    fakes.fileSystem.folders = {test::nativePath("/home/user/Desktop"),
                                test::nativePath("/home/user/.local/share/applications"),
                                test::nativePath("/usr/local/share/applications")};
    // Something was installed, and the setup copy is there.
    context.installation.folder = context.state.installDir;
    context.installation.setupCopy = InstallationRecord::SetupCopy::Made;
  }

  std::string value(RegistryRoot root, const char* key, const char* name) {
    std::string text;
    return fakes.registry.readValue(root, key, name, text) ? text : "<missing>";
  }
  std::vector<std::string> links() const {
    std::vector<std::string> paths;
    for (const auto& shortcut : fakes.shell.created) paths.push_back(shortcut.linkPath);
    return paths;
  }

  test::FakePlatform fakes;
  SetupContext context;
};

TEST_F(IntegrationTest, NothingTickedWritesOnlyTheRegistryEntries) {
  integrateApplication(context, {});
  EXPECT_EQ(value(RegistryRoot::CurrentUser, kProductKey, "Install Directory"),
            test::nativePath("/home/user/.local/opt/Kestrova"));
  EXPECT_EQ(value(RegistryRoot::LocalMachine, kUninstallKeyPath, "DisplayName"), "Kestrova");
  EXPECT_EQ(value(RegistryRoot::LocalMachine, kUninstallKeyPath, "UninstallString"),
            "\"" + test::nativePath("/home/user/.local/opt/Kestrova/setup.exe") + "\" -uninstall");
  EXPECT_TRUE(fakes.shell.created.empty());
  EXPECT_EQ(fakes.fileSystem.folders.size(), 3u);
}

TEST_F(IntegrationTest, UninstallStringQuotesAProgramUnderAFolderWithBlanks) {
  context.state.installDir =
      std::string("C:") + kPathSeparator + "Program Files" + kPathSeparator + "Kestrova";
  context.installation.folder = context.state.installDir;
  integrateApplication(context, {});
  EXPECT_EQ(value(RegistryRoot::LocalMachine, kUninstallKeyPath, "UninstallString"),
            "\"" + context.state.installDir + kPathSeparator + "setup.exe\" -uninstall");
}

TEST_F(IntegrationTest, NothingInstalledRegistersNothingAndLinksNothing) {
  context.installation = {};
  integrateApplication(context, {true, true, true});
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::CurrentUser, kProductKey));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKeyPath));
  EXPECT_TRUE(fakes.shell.created.empty());
}

TEST_F(IntegrationTest, EverythingTickedMakesSevenShortcutsInOrder) {
  integrateApplication(context, {true, true, true});
  const std::string user = test::nativePath("/home/user/.local/share/applications/Kestrova/");
  const std::string common = test::nativePath("/usr/local/share/applications/Kestrova/");
  EXPECT_EQ(links(),
            (std::vector<std::string>{test::nativePath("/home/user/Desktop/Kestrova.desktop"),
                                      user + "Kestrova.desktop", user + "Uninstall.desktop",
                                      user + "ReadMe.desktop", common + "Kestrova.desktop",
                                      common + "Uninstall.desktop", common + "ReadMe.desktop"}));
  const auto& created = fakes.shell.created;
  EXPECT_EQ(created[0].target, test::nativePath("/home/user/.local/opt/Kestrova/Kestrova.exe"));
  EXPECT_EQ(created[0].description, "Kestrova");
  EXPECT_EQ(created[2].target, test::nativePath("/home/user/.local/opt/Kestrova/setup.exe"));
  EXPECT_EQ(created[2].description, "Uninstall");
  EXPECT_EQ(created[3].target, test::nativePath("/home/user/.local/opt/Kestrova/readme.txt"));
  EXPECT_EQ(created[3].description, "ReadMe");
  EXPECT_TRUE(fakes.fileSystem.pathExists(user + "ReadMe.desktop"));
}

TEST_F(IntegrationTest, AProgramFolderThatCannotBeCreatedStopsAllProgramGroups) {
  fakes.fileSystem.unwritable.insert(
      test::nativePath("/home/user/.local/share/applications/Kestrova"));
  integrateApplication(context, {true, true, true});
  EXPECT_EQ(links(),
            (std::vector<std::string>{test::nativePath("/home/user/Desktop/Kestrova.desktop")}));
  EXPECT_EQ(value(RegistryRoot::CurrentUser, kProductKey, "Install Directory"),
            test::nativePath("/home/user/.local/opt/Kestrova"));
}

TEST_F(IntegrationTest, OnlyTheCommonGroupFailingKeepsTheUserGroup) {
  fakes.fileSystem.unwritable.insert(test::nativePath("/usr/local/share/applications/Kestrova"));
  integrateApplication(context, {false, true, true});
  EXPECT_EQ(links().size(), 3u);
}

TEST_F(IntegrationTest, AnExistingGroupFolderIsUsedAndMissingShellFoldersAreSkipped) {
  fakes.fileSystem.folders.insert(
      test::nativePath("/home/user/.local/share/applications/Kestrova"));
  fakes.fileSystem.unwritable.insert(
      test::nativePath("/home/user/.local/share/applications/Kestrova"));
  fakes.shell.folders.erase(SpecialFolder::Desktop);
  integrateApplication(context, {true, true, false});
  EXPECT_EQ(links().size(), 3u);
}

TEST_F(IntegrationTest, AProgramsPathEndingInASeparatorGetsNoSecond) {
  fakes.shell.folders[SpecialFolder::Programs] =
      test::nativePath("/home/user/.local/share/applications/");
  integrateApplication(context, {false, true, false});
  ASSERT_EQ(links().size(), 3u);
  EXPECT_EQ(links()[0],
            test::nativePath("/home/user/.local/share/applications/Kestrova/Kestrova.desktop"));
}

TEST_F(IntegrationTest, ASecondRunOverwritesValuesAndLinks) {
  // A second run overwrites the values and the links.
  integrateApplication(context, {true, false, false});
  context.state.installDir = context.installation.folder = test::nativePath("/opt/K2");
  integrateApplication(context, {true, false, false});
  EXPECT_EQ(value(RegistryRoot::CurrentUser, kProductKey, "Install Directory"),
            test::nativePath("/opt/K2"));
  EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/home/user/Desktop/Kestrova.desktop")],
            test::nativePath("/opt/K2/Kestrova.exe|Kestrova"));
}

// A box unticked on a later pass takes away what it made; its program
// group folder goes when that leaves it empty. What the run did not make
// stays.
TEST_F(IntegrationTest, UntickingABoxAndPassingAgainRemovesWhatItMade) {
  using test::nativePath;
  const std::string common = nativePath("/usr/local/share/applications/Kestrova");
  fakes.fileSystem.folders.insert(common);
  fakes.fileSystem.files[common + kPathSeparator + "Other.desktop"] = "not ours";
  integrateApplication(context, {true, true, false});
  integrateApplication(context, {false, true, false});
  EXPECT_FALSE(fakes.fileSystem.pathExists(nativePath("/home/user/Desktop/Kestrova.desktop")));
  EXPECT_TRUE(fakes.fileSystem.pathExists(
      nativePath("/home/user/.local/share/applications/Kestrova/ReadMe.desktop")));
  integrateApplication(context, {false, false, false});
  EXPECT_FALSE(
      fakes.fileSystem.pathExists(nativePath("/home/user/.local/share/applications/Kestrova")));
  EXPECT_TRUE(fakes.fileSystem.pathExists(common + kPathSeparator + "Other.desktop"));
  integrateApplication(context, {true, false, false});  // ticked again: made again
  EXPECT_TRUE(fakes.fileSystem.pathExists(nativePath("/home/user/Desktop/Kestrova.desktop")));
}

}  // namespace
}  // namespace ks
