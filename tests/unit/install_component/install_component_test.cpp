#include "install/install_component.h"

#include <gtest/gtest.h>

#include "download/download_notify_window.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

// Records the status texts a page would show.
class StatusRecorder : public DownloadNotifyWindow {
 public:
  std::vector<std::pair<int, std::string>> texts;
  bool isWindow() override { return true; }
  void sendMessage(unsigned, std::uintptr_t, std::intptr_t) override {}
  void setDlgItemText(int controlId, const std::string& text) override {
    texts.emplace_back(controlId, text);
  }
  void setProgressPosition(int, int) override {}
};

class InstallComponentTest : public ::testing::Test {
 protected:
  InstallComponentTest() {
    context.platform = fakes.ports();
    context.state.installDir = test::nativePath("/opt/Kestrova");
    fakes.fileSystem.folders = {test::nativePath("/opt/Kestrova"), test::nativePath("/dl")};
    component.notifyWindow = &status;
  }

  test::FakePlatform fakes;
  SetupContext context;
  Component component;
  StatusRecorder status;
};

TEST_F(InstallComponentTest, CopyPutsThePackageIntoTheInstallationFolder) {
  component.installMethod = INSTALL_METHOD_COPY;
  component.localPath = test::nativePath("/dl/readme.txt");
  fakes.fileSystem.files[test::nativePath("/dl/readme.txt")] = "read me";
  fakes.fileSystem.files[test::nativePath("/opt/Kestrova/readme.txt")] = "an older, longer text";
  EXPECT_TRUE(installComponent(context, component));
  EXPECT_EQ(fakes.fileSystem.files[test::nativePath("/opt/Kestrova/readme.txt")], "read me");
  EXPECT_TRUE(status.texts.empty());
  // The copy's permission follows its content, not the downloaded package's.
  EXPECT_EQ(fakes.fileSystem.programModeSet,
            std::vector<std::string>{test::nativePath("/opt/Kestrova/readme.txt")});
}

TEST_F(InstallComponentTest, CopyFailures) {
  component.installMethod = INSTALL_METHOD_COPY;
  component.localPath = test::nativePath("/dl/missing.txt");
  EXPECT_FALSE(installComponent(context, component));
  component.localPath = "readme.txt";  // no folder at all
  fakes.fileSystem.files["readme.txt"] = "x";
  EXPECT_FALSE(installComponent(context, component));
}

TEST_F(InstallComponentTest, SystemUpdateRunsTheProgramByNameAndChecksItsExitCode) {
  component.installMethod = INSTALL_METHOD_RUN;
  component.localPath = test::nativePath("/dl/update.exe");
  fakes.processes.exitCodes[test::nativePath("/dl/update.exe")] = 0;
  EXPECT_TRUE(installComponent(context, component));
  ASSERT_EQ(fakes.processes.runs.size(), 1u);
  EXPECT_EQ(fakes.processes.runs[0].argv0, "update.exe");
  EXPECT_EQ(status.texts,
            (std::vector<std::pair<int, std::string>>{{1042, "Executing System Update"}}));

  fakes.processes.exitCodes[test::nativePath("/dl/update.exe")] = 1;
  EXPECT_FALSE(installComponent(context, component));
  component.localPath = test::nativePath("/dl/not-startable.exe");
  EXPECT_FALSE(installComponent(context, component));
}

TEST_F(InstallComponentTest, UnknownMethodsFailWithoutAStatusText) {
  fakes.fileSystem.files[test::nativePath("/dl/p.cab")] = "x";
  component.localPath = test::nativePath("/dl/p.cab");
  for (int method : {0, 4, -1}) {
    component.installMethod = method;
    EXPECT_FALSE(installComponent(context, component));
  }
  EXPECT_TRUE(status.texts.empty());
  EXPECT_TRUE(fakes.processes.runs.empty());
}

TEST_F(InstallComponentTest, ACabinetThatIsNotACabinetFailsAfterTheStatusText) {
  component.installMethod = INSTALL_METHOD_CABINET;
  component.localPath = test::nativePath("/dl/app.cab");
  fakes.fileSystem.files[test::nativePath("/dl/app.cab")] = "<html>404 Not Found</html>";
  EXPECT_FALSE(installComponent(context, component));
  EXPECT_EQ(status.texts, (std::vector<std::pair<int, std::string>>{{1042, "Extracting ..."}}));
  EXPECT_EQ(fakes.fileSystem.files.size(), 1u);
}

}  // namespace
}  // namespace ks
