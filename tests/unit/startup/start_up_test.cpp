#include "app/start_up.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

constexpr const char* kUninstallQuestion = "Are you sure you want to uninstall this application?";
constexpr const char* kSucceeded =
    "Application successfully uninstalled\nYou've to delete the uninstallation executable file on "
    "your own.";
constexpr const char* kIncomplete = "Not all parts of the application could be removed!";

class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() {
    context.platform = fakes.ports();
    roads.runWizard = [this](SetupContext&) { return ++wizardRuns, 0; };
    roads.uninstallApplication = [this](SetupContext&) {
      ++uninstallRuns;
      return removal;
    };
    roads.drainMessages = [this] {
      ++drains;
      return 0;
    };
  }

  void storeInstallDir(const std::string& value) {
    fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
    fakes.registry.writeValue(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue,
                              value);
  }

  test::FakePlatform fakes;
  SetupContext context;
  SetupRoads roads;
  int wizardRuns = 0;
  int uninstallRuns = 0;
  UninstallResult removal{1, false, false};
  int drains = 0;
};

TEST_F(StartUpTest, OnlyTheExactUninstallArgumentUninstalls) {
  using Arguments = std::vector<std::string>;
  for (const Arguments& args : {Arguments{"-uninstall"}, Arguments{"/q", "-uninstall"}}) {
    fakes.dialogs.answers = {MessageAnswer::No};
    EXPECT_EQ(runSetup(context, args, roads), 0);
  }
  EXPECT_EQ(wizardRuns, 0);
  for (const Arguments& args :
       {Arguments{"-Uninstall"}, Arguments{"x-uninstallx"}, Arguments{"/q -uninstall"},
        Arguments{"--unattended", "--mode=download",
                  "--download-dir=/home/user/pre-uninstall-backup"}}) {
    EXPECT_EQ(runSetup(context, args, roads), 0);
  }
  EXPECT_EQ(wizardRuns, 4);
  EXPECT_EQ(uninstallRuns, 0);
}

TEST_F(StartUpTest, DecliningTheUninstallRemovesNothing) {
  fakes.dialogs.answers = {MessageAnswer::No};
  EXPECT_EQ(runSetup(context, {"-uninstall"}, roads), 0);
  ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
  const MessageBoxRequest& question = fakes.dialogs.shown[0];
  EXPECT_EQ(question.text, kUninstallQuestion);
  EXPECT_EQ(question.caption, "Uninstall");
  EXPECT_EQ(question.icon, MessageIcon::Warning);
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(uninstallRuns, 0);
  EXPECT_EQ(wizardRuns, 0);
}

TEST_F(StartUpTest, UninstallResultMessagesAndExitCodes) {
  struct Case {
    UninstallResult removal;
    std::string closing;
    int exitCode;
  };
  const std::string kept =
      std::string(kSucceeded) + "\n\nThe folder '/opt/K' was kept because it holds other files.";
  for (const Case& c :
       {Case{{1, false, false}, kSucceeded, 0}, Case{{1, false, true}, kept, 0},
        Case{{0, false, false}, kIncomplete, 1}, Case{{1, true, true}, kIncomplete, 1}}) {
    removal = c.removal;
    storeInstallDir("/opt/K");
    fakes.dialogs.shown.clear();
    fakes.dialogs.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
    EXPECT_EQ(runSetup(context, {"-uninstall"}, roads), c.exitCode);
    ASSERT_EQ(fakes.dialogs.shown.size(), 2u);
    const MessageBoxRequest& closing = fakes.dialogs.shown[1];
    EXPECT_EQ(closing.text, c.closing);
    EXPECT_EQ(closing.caption, "Uninstall");
    EXPECT_EQ(closing.icon, MessageIcon::Information);
  }
  EXPECT_EQ(uninstallRuns, 4);
  EXPECT_EQ(wizardRuns, 0);
}

TEST_F(StartUpTest, Win32sIsRefusedWithAnUnownedError) {
  fakes.systemInfo.platform = kPlatformWin32s;
  fakes.dialogs.answers = {MessageAnswer::Ok};
  EXPECT_EQ(runSetup(context, {"-uninstall"}, roads), 0);
  ASSERT_EQ(fakes.dialogs.shown.size(), 1u);
  EXPECT_EQ(fakes.dialogs.shown[0].text,
            "This Program can only run on Windows95 or WindowsNT 4.0 and higher.");
  EXPECT_EQ(fakes.dialogs.shown[0].caption, "Error");
  EXPECT_EQ(fakes.dialogs.shown[0].icon, MessageIcon::Error);
  EXPECT_FALSE(fakes.dialogs.shown[0].owned);
  EXPECT_EQ(wizardRuns + uninstallRuns, 0);
  EXPECT_EQ(context.state.setupPath, "");  // nothing else happened
}

TEST_F(StartUpTest, TheWindows95FamilyPasses) {
  fakes.systemInfo.platform = kPlatformWindows95;
  EXPECT_EQ(runSetup(context, {}, roads), 0);
  EXPECT_EQ(wizardRuns, 1);
}

TEST_F(StartUpTest, TheWizardRoadReleasesTheCatalogAndDrains) {
  roads.runWizard = [](SetupContext& c) {
    c.catalog.components[0] = std::make_unique<Component>();
    c.catalog.componentCount = 1;
    return 0;
  };
  EXPECT_EQ(runSetup(context, {}, roads), 0);
  EXPECT_EQ(context.catalog.componentCount, 0);
  EXPECT_EQ(context.catalog.components[0], nullptr);
  EXPECT_EQ(drains, 1);
}

TEST_F(StartUpTest, StateHoldsTheProgramsOwnPathsAndSystemFolders) {
  fakes.systemInfo.programPath = test::nativePath("/home/u/dl/setup.exe");
  initSetupState(context);
  EXPECT_EQ(context.state.setupPath, test::nativePath("/home/u/dl/setup.exe"));
  EXPECT_EQ(context.state.setupDir, test::nativePath("/home/u/dl"));
  EXPECT_EQ(context.state.setupFileName, "setup.exe");
  EXPECT_EQ(context.state.windowsDir, test::nativePath("/usr"));
  EXPECT_EQ(context.state.systemDir, test::nativePath("/usr/lib"));
  EXPECT_EQ(context.state.installDir, "");  // no product key
  EXPECT_EQ(context.state.mode, SETUP_MODE_NONE);
}

// Installed in /usr/bin or run from a read-only medium, the setup keeps its
// downloads (version2.ini, packages) in the cache folder; the program's own
// path and name stay what they are.
TEST_F(StartUpTest, ASetupThatCannotWriteBesideItselfDownloadsIntoTheCacheFolder) {
  const std::string programFolder = test::nativePath("/usr/bin");
  const std::string cache = test::nativePath("/home/u/.cache/kestrova-setup");
  fakes.systemInfo.programPath = test::nativePath("/usr/bin/kestrova-setup");
  fakes.systemInfo.cacheDir = cache;
  fakes.fileSystem.folders = {programFolder, cache};
  fakes.fileSystem.unwritable = {programFolder};
  initSetupState(context);
  EXPECT_EQ(context.state.setupDir, cache);
  EXPECT_EQ(context.state.setupPath, test::nativePath("/usr/bin/kestrova-setup"));
  EXPECT_EQ(context.state.setupFileName, "kestrova-setup");

  fakes.fileSystem.unwritable.clear();  // a folder the user may write into
  initSetupState(context);
  EXPECT_EQ(context.state.setupDir, programFolder);

  fakes.fileSystem.unwritable = {programFolder};
  fakes.systemInfo.cacheDir.clear();  // no cache folder (Windows): as before
  initSetupState(context);
  EXPECT_EQ(context.state.setupDir, programFolder);
}

TEST_F(StartUpTest, PreviousInstallationFolderLosesOneTrailingSeparator) {
  storeInstallDir(test::nativePath("/opt/Kestrova/"));
  initSetupState(context);
  EXPECT_EQ(context.state.installDir, test::nativePath("/opt/Kestrova"));
  storeInstallDir(test::nativePath("/opt/Kestrova//"));
  initSetupState(context);
  EXPECT_EQ(context.state.installDir, test::nativePath("/opt/Kestrova/"));
  storeInstallDir(test::nativePath("/opt/Kestrova"));
  initSetupState(context);
  EXPECT_EQ(context.state.installDir, test::nativePath("/opt/Kestrova"));
}

TEST_F(StartUpTest, ProductKeyWithoutTheValueLeavesTheFolderEmpty) {
  fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
  context.state.installDir = test::nativePath("/left/over");
  initSetupState(context);
  EXPECT_EQ(context.state.installDir, "");
}

TEST_F(StartUpTest, AStoredFolderTooLongForItsBufferIsNotUsed) {
  storeInstallDir(test::nativePath("/") + std::string(258, 'a'));  // 259 characters fit
  initSetupState(context);
  EXPECT_EQ(context.state.installDir.size(), 259u);
  storeInstallDir(test::nativePath("/") + std::string(259, 'a'));
  initSetupState(context);
  EXPECT_EQ(context.state.installDir, "");
}

TEST_F(StartUpTest, InitialisationEmptiesTheCatalog) {
  context.catalog.siteCount = 3;
  context.catalog.components[0] = std::make_unique<Component>();
  context.catalog.componentCount = 1;
  initSetupState(context);
  EXPECT_EQ(context.catalog.siteCount, 0);
  EXPECT_EQ(context.catalog.componentCount, 0);
  EXPECT_EQ(context.catalog.components[0], nullptr);
}

}  // namespace
}  // namespace ks
