// Where the setup program is copied: beside an installation once something
// is installed there (with its registration), into the download folder when
// only downloading.

#include "install/installation_record.h"

#include <gtest/gtest.h>

#include "app/install_manifest.h"
#include "install/completion_copies.h"
#include "install/integration.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

using SetupCopy = InstallationRecord::SetupCopy;
using test::nativePath;

class InstallationRecordTest : public ::testing::Test {
 protected:
  InstallationRecordTest() {
    context.platform = fakes.ports();
    SetupState& state = context.state;
    state.setupPath = nativePath("/tmp/dl/setup.exe");
    state.setupDir = nativePath("/tmp/dl");
    state.setupFileName = "setup.exe";
    state.installDir = nativePath("/opt/Kestrova");
    state.downloadDir = nativePath("/home/user/packages");
    fakes.fileSystem.folders = {nativePath("/tmp/dl"), nativePath("/opt"),
                                nativePath("/opt/Kestrova"), nativePath("/home/user/packages")};
    fakes.fileSystem.files = {{nativePath("/tmp/dl/setup.exe"), "program"},
                              {nativePath("/tmp/dl/version2.ini"), "ini"}};
  }
  std::string value(RegistryRoot root, const char* key, const char* name) {
    std::string text;
    return fakes.registry.readValue(root, key, name, text) ? text : "<missing>";
  }
  std::vector<std::string> manifest() {
    std::vector<std::string> names;
    readInstallManifest(fakes.registry, names);
    return names;
  }

  test::FakePlatform fakes;
  SetupContext context;
};

// A run cancelled after its first component is found by a later uninstall.
TEST_F(InstallationRecordTest, TheFirstInstalledComponentRegistersTheInstallation) {
  EXPECT_FALSE(installedAnything(context));
  recordInstallation(context, {"Kestrova.exe", nativePath("plugins/ftp.dll")});
  EXPECT_TRUE(installedAnything(context));
  EXPECT_EQ(fakes.fileSystem.files[nativePath("/opt/Kestrova/setup.exe")], "program");
  EXPECT_EQ(value(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue),
            nativePath("/opt/Kestrova"));
  EXPECT_EQ(value(RegistryRoot::LocalMachine, kUninstallKey, "UninstallString"),
            uninstallCommand(context.state));
  EXPECT_EQ(manifest(),
            (std::vector<std::string>{"Kestrova.exe", nativePath("plugins/ftp.dll"), "setup.exe"}));
  recordInstallation(context, {nativePath("help/manual.txt"), "Kestrova.exe"});
  EXPECT_EQ(manifest(), (std::vector<std::string>{"Kestrova.exe", nativePath("plugins/ftp.dll"),
                                                  "setup.exe", nativePath("help/manual.txt")}));
}

TEST_F(InstallationRecordTest, AFailedSetupCopyLeavesTheUninstallEntryOut) {
  fakes.fileSystem.files.erase(nativePath("/tmp/dl/setup.exe"));  // can't be read
  recordInstallation(context, {"Kestrova.exe"});
  EXPECT_EQ(context.installation.setupCopy, SetupCopy::Failed);
  EXPECT_EQ(value(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue),
            nativePath("/opt/Kestrova"));
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKey));
  EXPECT_EQ(manifest(), (std::vector<std::string>{"Kestrova.exe"}));
}

TEST_F(InstallationRecordTest, ASetupRunningFromTheFolderIsItsOwnCopy) {
  context.state.setupPath = nativePath("/opt/Kestrova/setup.exe");
  fakes.fileSystem.files = {{nativePath("/opt/Kestrova/setup.exe"), "program"}};
  recordInstallation(context, {});
  EXPECT_EQ(context.installation.setupCopy, SetupCopy::Made);
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKey));
}

// Updating an installation keeps what earlier runs recorded; a new folder
// starts its own manifest.
TEST_F(InstallationRecordTest, TheManifestOfTheSameFolderGoesOn) {
  fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
  fakes.registry.writeValue(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue,
                            nativePath("/opt/./Kestrova/"));
  writeInstallManifest(fakes.registry, {"old.dll", "setup.exe"});
  recordInstallation(context, {"new.dll"});
  EXPECT_EQ(manifest(), (std::vector<std::string>{"old.dll", "setup.exe", "new.dll"}));

  SetupContext other;
  other.platform = fakes.ports();
  other.state = context.state;
  other.state.installDir = nativePath("/opt");
  recordInstallation(other, {"x.dll"});
  EXPECT_EQ(manifest(), (std::vector<std::string>{"x.dll", "setup.exe"}));
}

TEST_F(InstallationRecordTest, DownloadOnlyCompletesTheDownloadFolder) {
  context.state.mode = SETUP_MODE_DOWNLOAD_ONLY;
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files[nativePath("/home/user/packages/setup.exe")], "program");
  EXPECT_EQ(fakes.fileSystem.files[nativePath("/home/user/packages/version2.ini")], "ini");
  EXPECT_FALSE(fakes.fileSystem.pathExists(nativePath("/opt/Kestrova/setup.exe")));
}

// An installation gets its setup copy with its first installed component.
TEST_F(InstallationRecordTest, TheLastPageCopiesOnlyWhenDownloading) {
  const auto before = fakes.fileSystem.files;
  for (SetupMode mode : {SETUP_MODE_NONE, SETUP_MODE_INTERNET, SETUP_MODE_LOCAL}) {
    context.state.mode = mode;
    copySetupFiles(context);
    EXPECT_EQ(fakes.fileSystem.files, before);
  }
}

}  // namespace
}  // namespace ks
