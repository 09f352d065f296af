// The Integration and Installation Complete pages within the wizard.

#include <filesystem>
#include <fstream>

#include "install/completion_page.h"
#include "install/download_install_page.h"
#include "install/integration_page.h"
#include "tests/integration/wizard_pages/pages_fixture.h"
#include "wizard/setup_options_page.h"

namespace ks::test {
namespace {

namespace fs = std::filesystem;

class LastPagesTest : public PagesTest {
 protected:
  LastPagesTest() {
    publishPackage("one.txt", "1");
    publishVersionInfo(
        "[Sites]\nSite01=only\n[G.one]\nTitle=One\nRequired=1\nInstall=1\n"
        "URL01=http://" +
        live() + "/pub/one.txt\n");
    context.state.installDir = temp.path() + "/install";
    context.state.downloadDir = temp.path() + "/packages";
    fs::create_directories(context.state.installDir);
    fs::create_directories(context.state.downloadDir);
    fs::create_directories(temp.path() + "/Desktop");
  }
  void toPageAfterTheWork(int option) {
    toComponentOptions(option);
    next();
    next();
    next();
    ASSERT_EQ(shown(), kDownloadInstallTemplate);
    ASSERT_TRUE(
        waitFor([&] { return view.buttons == (WizardButton::kBack | WizardButton::kNext); }));
    next();
  }
};

TEST_F(LastPagesTest, IntegrationOffersNextOnlyAndMakesTheTickedShortcuts) {
  toPageAfterTheWork(kIdcOptionInternet);
  ASSERT_EQ(shown(), kIntegrationTemplate);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kNext));
  EXPECT_TRUE(page(kIntegrationTemplate).at(kIdcAddToCommonPrograms).enabled);
  EXPECT_TRUE(page(kIntegrationTemplate).at(kIdcApplicationIcon).icon.empty());
  click(kIdcAddToDesktop);
  next();
  ASSERT_EQ(shown(), kCompletionTemplate);
  ASSERT_EQ(fakes.shell.created.size(), 1u);
  EXPECT_EQ(fakes.shell.created[0].linkPath, temp.path() + "/Desktop/Kestrova.desktop");
  std::string value;
  EXPECT_TRUE(
      fakes.registry.readValue(RegistryRoot::CurrentUser, kProductKey, "Install Directory", value));
  EXPECT_EQ(value, context.state.installDir);
}

TEST_F(LastPagesTest, TheWindows95FamilyHasNoCommonProgramGroups) {
  fakes.systemInfo.platform = kPlatformWindows95;
  toPageAfterTheWork(kIdcOptionInternet);
  EXPECT_FALSE(page(kIntegrationTemplate).at(kIdcAddToCommonPrograms).enabled);
  EXPECT_FALSE(page(kIntegrationTemplate).at(kIdcCommonProgramsNote).enabled);
}

// A menu folder for all users that this account may not write: the box is
// not offered, and its tooltip says why.
TEST_F(LastPagesTest, AnUnwritableCommonMenuFolderDisablesItsBoxWithTheReason) {
  fakes.shell.folders[SpecialFolder::CommonPrograms] = "/usr/local/share/applications";
  fakes.shell.unwritableFolders.insert(SpecialFolder::CommonPrograms);
  toPageAfterTheWork(kIdcOptionInternet);
  const auto& box = page(kIntegrationTemplate).at(kIdcAddToCommonPrograms);
  EXPECT_FALSE(box.enabled);
  EXPECT_EQ(box.toolTip,
            "Your account may not write to the program groups of all users "
            "(/usr/local/share/applications).");
  EXPECT_TRUE(page(kIntegrationTemplate).at(kIdcAddToUserPrograms).enabled);
}

TEST_F(LastPagesTest, TheInstalledProgramsIconIsShown) {
  const std::vector<std::uint8_t> icon = {0, 0, 1, 0, 1, 0, 16, 16};
  fakes.versionResources.icons[context.state.installDir + "/Kestrova.exe"] = icon;
  toPageAfterTheWork(kIdcOptionInternet);
  EXPECT_EQ(page(kIntegrationTemplate).at(kIdcApplicationIcon).icon, icon);
}

TEST_F(LastPagesTest, CompletionCopiesTheSetupProgramOnceAndNeverShowsTheRestartText) {
  toPageAfterTheWork(kIdcOptionInternet);
  next();
  ASSERT_EQ(shown(), kCompletionTemplate);
  const fs::path copy = fs::path(context.state.installDir) / "setup.exe";
  EXPECT_TRUE(fs::exists(copy));
  EXPECT_FALSE(page(kCompletionTemplate).at(kIdcRestartText).visible);
  EXPECT_TRUE(page(kCompletionTemplate).at(kIdcReadyText).visible);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack | WizardButton::kFinish));
  fs::remove(copy);
  back();
  next();
  EXPECT_FALSE(fs::exists(copy));  // made once, when the page was created
  frame->cancel();                 // no question on the last page
  EXPECT_TRUE(frame->closed());
  expectDialogsDone();
}

TEST_F(LastPagesTest, DownloadOnlySkipsIntegrationAndCompletesTheDownloadFolder) {
  toPageAfterTheWork(kIdcOptionDownloadOnly);
  ASSERT_EQ(shown(), kCompletionTemplate);
  for (const char* name : {"one.txt", "setup.exe", "version2.ini"}) {
    EXPECT_TRUE(fs::exists(context.state.downloadDir + "/" + name)) << name;
  }
  EXPECT_EQ(page(kCompletionTemplate).at(kIdcReadyText).text,
            "The components installed are now ready for use.\n\nThe installation packages and a "
            "copy of Setup (setup.exe) were saved in:\n    " +
                context.state.downloadDir);
  std::string value;
  EXPECT_FALSE(
      fakes.registry.readValue(RegistryRoot::CurrentUser, kProductKey, "Install Directory", value));
}

}  // namespace
}  // namespace ks::test
