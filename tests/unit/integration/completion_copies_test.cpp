#include "install/completion_copies.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace ks {
namespace {

class CompletionCopiesTest : public ::testing::Test {
 protected:
  CompletionCopiesTest() {
    context.platform = fakes.ports();
    SetupState& state = context.state;
    state.setupPath = "/tmp/dl/setup.exe";
    state.setupDir = "/tmp/dl";
    state.setupFileName = "setup.exe";
    state.installDir = "/opt/Kestrova";
    state.downloadDir = "/home/user/packages";
    fakes.fileSystem.folders = {"/tmp/dl", "/opt/Kestrova", "/home/user/packages"};
    fakes.fileSystem.files = {{"/tmp/dl/setup.exe", "program"}, {"/tmp/dl/version2.ini", "ini"}};
  }

  test::FakePlatform fakes;
  SetupContext context;
};

TEST_F(CompletionCopiesTest, InstallingModesPutTheSetupProgramIntoTheInstallationFolder) {
  for (SetupMode mode : {SETUP_MODE_INTERNET, SETUP_MODE_LOCAL}) {
    fakes.fileSystem.files.erase("/opt/Kestrova/setup.exe");
    context.state.mode = mode;
    copySetupFiles(context);
    EXPECT_EQ(fakes.fileSystem.files["/opt/Kestrova/setup.exe"], "program");
    EXPECT_FALSE(fakes.fileSystem.pathExists("/home/user/packages/version2.ini"));
  }
}

TEST_F(CompletionCopiesTest, DownloadOnlyCompletesTheDownloadFolder) {
  context.state.mode = SETUP_MODE_DOWNLOAD_ONLY;
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files["/home/user/packages/setup.exe"], "program");
  EXPECT_EQ(fakes.fileSystem.files["/home/user/packages/version2.ini"], "ini");
  EXPECT_FALSE(fakes.fileSystem.pathExists("/opt/Kestrova/setup.exe"));
}

TEST_F(CompletionCopiesTest, CopyingOntoItselfOrIntoAMissingFolderIsSilent) {
  context.state.mode = SETUP_MODE_INTERNET;
  context.state.installDir = "/tmp/dl";
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files["/tmp/dl/setup.exe"], "program");
  context.state.installDir = "/missing";
  copySetupFiles(context);
  EXPECT_FALSE(fakes.fileSystem.pathExists("/missing/setup.exe"));
}

TEST_F(CompletionCopiesTest, NoModeCopiesNothing) {
  const auto before = fakes.fileSystem.files;
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files, before);
}

}  // namespace
}  // namespace ks
