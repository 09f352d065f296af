#include "install/completion_copies.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

class CompletionCopiesTest : public ::testing::Test {
 protected:
  CompletionCopiesTest() {
    context.platform = fakes.ports();
    SetupState& state = context.state;
    state.setupPath = test::nativePath("/tmp/dl/setup.exe");
    state.setupDir = test::nativePath("/tmp/dl");
    state.setupFileName = "setup.exe";
    state.installDir = test::nativePath("/opt/Kestrova");
    state.downloadDir = test::nativePath("/home/user/packages");
    fakes.fileSystem.folders = {test::nativePath("/tmp/dl"), test::nativePath("/opt/Kestrova"),
                                test::nativePath("/home/user/packages")};
    fakes.fileSystem.files = {{test::nativePath("/tmp/dl/setup.exe"), "program"},
                              {test::nativePath("/tmp/dl/version2.ini"), "ini"}};
  }

  test::FakePlatform fakes;
  SetupContext context;
};

TEST_F(CompletionCopiesTest, InstallingModesPutTheSetupProgramIntoTheInstallationFolder) {
  for (SetupMode mode : {SETUP_MODE_INTERNET, SETUP_MODE_LOCAL}) {
    fakes.fileSystem.files.erase(test::nativePath("/opt/Kestrova/setup.exe"));
    context.state.mode = mode;
    copySetupFiles(context);
    EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/opt/Kestrova/setup.exe")], "program");
    EXPECT_FALSE(fakes.fileSystem.pathExists(test::nativePath("/home/user/packages/version2.ini")));
  }
}

TEST_F(CompletionCopiesTest, DownloadOnlyCompletesTheDownloadFolder) {
  context.state.mode = SETUP_MODE_DOWNLOAD_ONLY;
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/home/user/packages/setup.exe")], "program");
  EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/home/user/packages/version2.ini")], "ini");
  EXPECT_FALSE(fakes.fileSystem.pathExists(test::nativePath("/opt/Kestrova/setup.exe")));
}

TEST_F(CompletionCopiesTest, CopyingOntoItselfOrIntoAMissingFolderIsSilent) {
  context.state.mode = SETUP_MODE_INTERNET;
  context.state.installDir = test::nativePath("/tmp/dl");
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/tmp/dl/setup.exe")], "program");
  context.state.installDir = test::nativePath("/missing");
  copySetupFiles(context);
  EXPECT_FALSE(fakes.fileSystem.pathExists(test::nativePath("/missing/setup.exe")));
}

TEST_F(CompletionCopiesTest, NoModeCopiesNothing) {
  const auto before = fakes.fileSystem.files;
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files, before);
}

}  // namespace
}  // namespace ks
