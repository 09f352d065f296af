#include "install/installation_record.h"

#include <gtest/gtest.h>

#include "app/install_manifest.h"
#include "install/integration.h"
#include "tests/support/fake_platform.h"

namespace ks {
namespace {

using SetupCopy = InstallationRecord::SetupCopy;

class InstallationRecordTest : public ::testing::Test {
 protected:
  InstallationRecordTest() {
    context.platform = fakes.ports();
    SetupState& state = context.state;
    state.setupPath = "/tmp/dl/setup.exe";
    state.setupDir = "/tmp/dl";
    state.setupFileName = "setup.exe";
    state.installDir = "/opt/Kestrova";
    fakes.fileSystem.folders = {"/tmp/dl", "/opt", "/opt/Kestrova"};
    fakes.fileSystem.files = {{"/tmp/dl/setup.exe", "program"}};
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
  recordInstallation(context, {"Kestrova.exe", "plugins/ftp.dll"});
  EXPECT_TRUE(installedAnything(context));
  EXPECT_EQ(fakes.fileSystem.files["/opt/Kestrova/setup.exe"], "program");
  EXPECT_EQ(value(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue), "/opt/Kestrova");
  EXPECT_EQ(value(RegistryRoot::LocalMachine, kUninstallKey, "UninstallString"),
            uninstallCommand(context.state));
  EXPECT_EQ(manifest(), (std::vector<std::string>{"Kestrova.exe", "plugins/ftp.dll", "setup.exe"}));
  recordInstallation(context, {"help/manual.txt", "Kestrova.exe"});
  EXPECT_EQ(manifest(), (std::vector<std::string>{"Kestrova.exe", "plugins/ftp.dll", "setup.exe",
                                                  "help/manual.txt"}));
}

TEST_F(InstallationRecordTest, AFailedSetupCopyLeavesTheUninstallEntryOut) {
  fakes.fileSystem.files.clear();  // the setup program can't be read
  recordInstallation(context, {"Kestrova.exe"});
  EXPECT_EQ(context.installation.setupCopy, SetupCopy::Failed);
  EXPECT_EQ(value(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue), "/opt/Kestrova");
  EXPECT_FALSE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKey));
  EXPECT_EQ(manifest(), (std::vector<std::string>{"Kestrova.exe"}));
}

TEST_F(InstallationRecordTest, ASetupRunningFromTheFolderIsItsOwnCopy) {
  context.state.setupPath = "/opt/Kestrova/setup.exe";
  fakes.fileSystem.files = {{"/opt/Kestrova/setup.exe", "program"}};
  recordInstallation(context, {});
  EXPECT_EQ(context.installation.setupCopy, SetupCopy::Made);
  EXPECT_TRUE(fakes.registry.openKey(RegistryRoot::LocalMachine, kUninstallKey));
}

// Updating an installation keeps what earlier runs recorded; a new folder
// starts its own manifest.
TEST_F(InstallationRecordTest, TheManifestOfTheSameFolderGoesOn) {
  fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
  fakes.registry.writeValue(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue,
                            "/opt/./Kestrova/");
  writeInstallManifest(fakes.registry, {"old.dll", "setup.exe"});
  recordInstallation(context, {"new.dll"});
  EXPECT_EQ(manifest(), (std::vector<std::string>{"old.dll", "setup.exe", "new.dll"}));

  SetupContext other;
  other.platform = fakes.ports();
  other.state = context.state;
  other.state.installDir = "/opt";
  recordInstallation(other, {"x.dll"});
  EXPECT_EQ(manifest(), (std::vector<std::string>{"x.dll", "setup.exe"}));
}

}  // namespace
}  // namespace ks
