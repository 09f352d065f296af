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

TEST_F(CompletionCopiesTest, DownloadOnlyCompletesTheDownloadFolder) {
  context.state.mode = SETUP_MODE_DOWNLOAD_ONLY;
  copySetupFiles(context);
  EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/home/user/packages/setup.exe")], "program");
  EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/home/user/packages/version2.ini")], "ini");
  EXPECT_FALSE(fakes.fileSystem.pathExists(test::nativePath("/opt/Kestrova/setup.exe")));
}

// An installation gets its setup copy with its first installed component.
TEST_F(CompletionCopiesTest, OnlyDownloadOnlyCopiesHere) {
  const auto before = fakes.fileSystem.files;
  for (SetupMode mode : {SETUP_MODE_NONE, SETUP_MODE_INTERNET, SETUP_MODE_LOCAL}) {
    context.state.mode = mode;
    copySetupFiles(context);
    EXPECT_EQ(fakes.fileSystem.files, before);
  }
}

}  // namespace
}  // namespace ks
