// The Setup Options page: options and mode, the previous folder, the version
// line, and uninstalling from the page.

#include "wizard/setup_options_page.h"

#include "app/start_up.h"
#include "app/uninstall.h"
#include "tests/support/native_path.h"
#include "tests/support/version_block_builder.h"
#include "tests/unit/wizard/wizard_fixture.h"

namespace ks::test {
namespace {

class SetupOptionsPageTest : public WizardTest {
 protected:
  void registerInstallation(const std::string& folder) {
    context.state.installDir = folder;
    fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKey);
  }
  HeadlessPageView& options() { return page(102); }
};

TEST_F(SetupOptionsPageTest, NoPreviousInstallationShowsNotFoundAndNoUninstall) {
  fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKey);
  startWizard();
  EXPECT_EQ(options().at(kIdcPreviousFolder).text, "Not Found");
  EXPECT_FALSE(options().at(kIdcOptionUninstall).enabled);
  EXPECT_FALSE(options().userClick(kIdcOptionUninstall));
}

TEST_F(SetupOptionsPageTest, AFolderWithoutTheUninstallKeyKeepsUninstallDisabled) {
  context.state.installDir = test::nativePath("/opt/Kestrova");
  startWizard();
  EXPECT_EQ(options().at(kIdcPreviousFolder).text, test::nativePath("/opt/Kestrova"));
  EXPECT_FALSE(options().at(kIdcOptionUninstall).enabled);
}

TEST_F(SetupOptionsPageTest, ARegisteredInstallationCanBeUninstalled) {
  registerInstallation(test::nativePath("/opt/Kestrova"));
  startWizard();
  EXPECT_TRUE(options().at(kIdcOptionUninstall).enabled);
}

TEST_F(SetupOptionsPageTest, TheVersionLineShowsTheSetupProgramsFileVersion) {
  fakes.versionResources.blocks[test::nativePath("/home/user/dl/setup.exe")] =
      makeVersionBlock(0x0409, 0x04B0, "2, 0, 1, 15");
  startWizard();
  EXPECT_EQ(options().at(kIdcVersionLine).text, "Version: 2. 0. 1. 15");
  EXPECT_EQ(options().at(kIdcVersionLine).style, PageView::TextStyle::SideBandText);
  EXPECT_FALSE(options().at(kIdcInformationLine).text.empty());
}

TEST_F(SetupOptionsPageTest, AProgramWithoutVersionInformationShowsAnEmptyVersion) {
  startWizard();
  EXPECT_EQ(options().at(kIdcVersionLine).text, "Version: ");
}

TEST_F(SetupOptionsPageTest, FontsBackgroundAndBand) {
  startWizard();
  EXPECT_EQ(options().at(1043).font.face, "Arial");
  EXPECT_EQ(options().at(1043).font.height, 22);
  EXPECT_EQ(options().at(1043).font.weight, 700);
  EXPECT_EQ(options().at(kIdcOptionLocal).font.weight, 700);
  EXPECT_TRUE(options().whiteBackground);
  frame->paint();
  EXPECT_EQ(options().painted.at(1080), 110);
}

TEST_F(SetupOptionsPageTest, NextIsRequestedOnlyOnceAnOptionIsSelected) {
  startWizard();
  EXPECT_EQ(view.buttons, 0u);
  click(kIdcDeleteAfterInstall);
  EXPECT_EQ(view.buttons, 0u);
  click(kIdcOptionDownloadOnly);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kNext));
}

TEST_F(SetupOptionsPageTest, NextRecordsTheModeAndTheDeleteChoiceWhateverTheMode) {
  fakes.fileSystem.folders = {test::nativePath("/home/user/Kestrova Setup")};
  startWizard();
  click(kIdcDeleteAfterInstall);
  click(kIdcOptionDownloadOnly);
  next();
  EXPECT_EQ(context.state.mode, SETUP_MODE_DOWNLOAD_ONLY);
  EXPECT_EQ(context.state.deleteAfterInstall, 1);
  back();
  back();
  ASSERT_EQ(shown(), 102);
  click(kIdcDeleteAfterInstall);
  click(kIdcOptionInternet);
  next();
  EXPECT_EQ(context.state.mode, SETUP_MODE_INTERNET);
  EXPECT_EQ(context.state.deleteAfterInstall, 0);
}

TEST_F(SetupOptionsPageTest, ComingBackClearsTheLoadedCatalogFlag) {
  startWizard();
  click(kIdcOptionInternet);
  next();
  context.state.catalogLoaded = 1;
  back();
  EXPECT_EQ(context.state.catalogLoaded, 0);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kNext));  // an option is selected
}

TEST_F(SetupOptionsPageTest, BrowsingStoresTheFolderWithoutOneTrailingSeparator) {
  startWizard();
  dialogs.expectBrowse(test::nativePath("/media/usb/"));
  click(kIdcBrowsePrevious);
  EXPECT_EQ(context.state.installDir, test::nativePath("/media/usb"));
  EXPECT_EQ(options().at(kIdcPreviousFolder).text, test::nativePath("/media/usb"));
  dialogs.expectBrowse(std::nullopt);
  click(kIdcBrowsePrevious);
  EXPECT_EQ(context.state.installDir, test::nativePath("/media/usb"));
  expectDialogsDone();
}

TEST_F(SetupOptionsPageTest, DecliningTheUninstallStaysOnThePage) {
  registerInstallation(test::nativePath("/opt/Kestrova"));
  startWizard();
  click(kIdcOptionUninstall);
  dialogs.expect("Uninstall", kUninstallQuestion, MessageAnswer::No);
  next();
  EXPECT_FALSE(frame->closed());
  EXPECT_EQ(shown(), 102);
  EXPECT_EQ(context.state.mode, SETUP_MODE_NONE);
  expectDialogsDone();
}

TEST_F(SetupOptionsPageTest, AConfirmedUninstallEndsTheWizardAfterTheSuccessMessage) {
  registerInstallation(test::nativePath("/opt/Kestrova"));
  fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
  fakes.fileSystem.folders = {test::nativePath("/opt/Kestrova")};
  fakes.fileSystem.files[context.state.setupPath] = "the setup program";
  startWizard();
  click(kIdcOptionUninstall);
  dialogs.expect("Uninstall", kUninstallQuestion, MessageAnswer::Yes);
  dialogs.expect("Uninstall", kUninstallSucceeded, MessageAnswer::Ok);
  next();
  EXPECT_TRUE(frame->closed());
  EXPECT_EQ(view.shownHistory, (std::vector<int>{102}));
  EXPECT_EQ(view.quitRequests, 1);
  EXPECT_FALSE(fakes.fileSystem.pathExists(test::nativePath("/opt/Kestrova")));
  EXPECT_EQ(wizardExitCode(context), 0);
  expectDialogsDone();
}

TEST_F(SetupOptionsPageTest, AFailedUninstallShowsOnlyItsOwnMessageAndStillEnds) {
  registerInstallation(test::nativePath("/opt/Kestrova"));  // no product key: its deletion fails
  startWizard();
  click(kIdcOptionUninstall);
  dialogs.expect("Uninstall", kUninstallQuestion, MessageAnswer::Yes);
  dialogs.expect("Error", "Could not delete registry values.", MessageAnswer::Ok);
  next();
  EXPECT_TRUE(frame->closed());
  EXPECT_EQ(wizardExitCode(context), 1);
  expectDialogsDone();
}

}  // namespace
}  // namespace ks::test
