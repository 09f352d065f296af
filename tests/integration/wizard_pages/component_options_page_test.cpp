// The Component Options page: fetching the version-info file, pre-selection,
// the tree, the details and the sizes.

#include "catalog/component_options_page.h"

#include <filesystem>
#include <fstream>

#include "download/download_job.h"
#include "tests/integration/wizard_pages/pages_fixture.h"
#include "wizard/folder_pages.h"
#include "wizard/setup_options_page.h"

namespace ks::test {
namespace {

namespace fs = std::filesystem;

std::string workedExample(const std::string& host) {
  return "[Sites]\nSite01=Main server (Europe)\nSite02=Mirror (USA)\n"
         "[Core.App]\nTitle=Kestrova client\nVersion=1.0.5\nRequired=1.0.5\n"
         "VersionCheck=FileVersion(\"%InstallDir%/kestrova.exe\")\nSize=812\nInstall=2\n"
         "URL01=http://" +
         host + "/pub/app.cab\nURL02=http://" + host +
         "/pub/app.cab\n"
         "[Core.Help]\nTitle=Help files\nDescription=Online help.\\nOptional.\nSize=240\n"
         "Install=2\nURL01=http://" +
         host + "/pub/help.cab\n";
}

class ComponentOptionsTest : public PagesTest {
 protected:
  HeadlessPageView& options() { return page(kComponentOptionsTemplate); }
  const HeadlessPageView::Control::Item& item(const std::string& text) {
    for (const auto& row : options().at(kIdcComponentTree).rows) {
      if (row.text == text) return row;
    }
    static const HeadlessPageView::Control::Item missing;
    ADD_FAILURE() << "no tree item " << text;
    return missing;
  }
  void tick(const std::string& text) {
    frame->treeStateClick(kIdcComponentTree, item(text).handle);
    ui.runPending();
  }
  void select(const std::string& text) {
    frame->treeSelection(kIdcComponentTree, item(text).handle);
  }
  std::string field(int id) { return options().at(id).text; }
  void useLocalArchive(const std::string& folder) {
    fs::create_directories(folder);
    context.state.localArchiveDir = folder;
  }
};

TEST_F(ComponentOptionsTest, TheWorkedExampleInInternetMode) {
  publishVersionInfo(workedExample(live()));
  toComponentOptions(kIdcOptionInternet);
  EXPECT_TRUE(fs::exists(temp.path() + "/setup/version2.ini"));  // stored beside the setup
  EXPECT_FALSE(options().at(kIdcVersionStatus).visible);
  // The bar under the status line went to the end; the transfer wrote no
  // text of its own over the status line.
  EXPECT_EQ(options().at(kIdcDownloadProgressBar).progressPosition, 100);
  EXPECT_FALSE(options().at(kIdcDownloadProgressBar).visible);
  EXPECT_EQ(field(kIdcVersionStatus), "Downloading Version Informations...");
  const auto& tree = options().at(kIdcComponentTree).rows;
  ASSERT_EQ(tree.size(), 3u);
  EXPECT_EQ(tree[0].text, "Core");
  EXPECT_TRUE(tree[0].bold);
  EXPECT_TRUE(tree[0].expanded);
  EXPECT_EQ(tree[0].stateImage, 0);
  EXPECT_EQ(item("Kestrova client").stateImage, kStateTicked);
  EXPECT_EQ(item("Kestrova client").colour, PageView::ItemColour::Red);
  EXPECT_EQ(item("Help files").stateImage, kStateUnticked);
  EXPECT_EQ(item("Help files").colour, PageView::ItemColour::Default);
  EXPECT_EQ(field(kIdcDownloadSize), "812 KB");
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack | WizardButton::kNext));
  EXPECT_EQ(options().at(kIdcRequiredLabel).style, PageView::TextStyle::RedText);
  EXPECT_EQ(options().at(kIdcAvailableLabel).style, PageView::TextStyle::BlueText);
  expectDialogsDone();
}

// A malformed SHA256 value: the component can't be ticked, not even when
// required, and its details say why.
TEST_F(ComponentOptionsTest, AComponentWithAMalformedDigestIsUnavailable) {
  std::string text = workedExample(live());
  text.replace(text.find("Size=812"), 8, "Size=812\nSHA256=not-a-digest");
  publishVersionInfo(text);
  toComponentOptions(kIdcOptionInternet);
  EXPECT_EQ(item("Kestrova client").stateImage, kStateUnticked);
  EXPECT_EQ(field(kIdcDownloadSize), "0 KB");
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack));
  const std::string reason = context.catalog.components[0]->unavailableReason;
  ASSERT_NE(reason, "");
  dialogs.expect("Kestrova client", reason, MessageAnswer::Ok);
  tick("Kestrova client");
  EXPECT_EQ(item("Kestrova client").stateImage, kStateUnticked);
  select("Kestrova client");
  EXPECT_EQ(field(kIdcDescription), reason);
  expectDialogsDone();
}

TEST_F(ComponentOptionsTest, SelectingShowsTheDetailsAndAGroupEmptiesThem) {
  publishVersionInfo(workedExample(live()));
  toComponentOptions(kIdcOptionInternet);
  select("Kestrova client");
  EXPECT_EQ(field(kIdcInstalledVersion), "Not Installed");
  EXPECT_EQ(field(kIdcAvailableVersion), "1.0.5");
  EXPECT_EQ(field(kIdcRequiredVersion), "1.0.5");
  EXPECT_TRUE(options().at(kIdcRequiredVersion).visible);
  EXPECT_EQ(field(kIdcPackageSize), "812 KB");
  select("Help files");
  EXPECT_EQ(field(kIdcDescription), "Online help.\nOptional.");
  EXPECT_FALSE(options().at(kIdcRequiredVersion).visible);
  select("Core");
  for (int id : {kIdcInstalledVersion, kIdcAvailableVersion, kIdcRequiredVersion, kIdcPackageSize,
                 kIdcDescription}) {
    EXPECT_EQ(field(id), "") << id;
  }
  EXPECT_FALSE(options().at(kIdcInstalledVersion).visible);
}

TEST_F(ComponentOptionsTest, UntickingTheLastComponentDisablesNext) {
  publishVersionInfo(workedExample(live()));
  toComponentOptions(kIdcOptionInternet);
  tick("Kestrova client");
  EXPECT_EQ(item("Kestrova client").stateImage, kStateUnticked);
  EXPECT_EQ(field(kIdcDownloadSize), "0 KB");
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack));
  tick("Help files");
  EXPECT_EQ(field(kIdcDownloadSize), "240 KB");
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack | WizardButton::kNext));
  tick("Core");  // groups have no tick box
  EXPECT_EQ(field(kIdcDownloadSize), "240 KB");
}

TEST_F(ComponentOptionsTest, HugeSizesAddUpWithoutOverflowing) {
  std::string text = workedExample(live());
  text.replace(text.find("Size=812"), 8, "Size=2000000000");
  text.replace(text.find("Size=240"), 8, "Size=4000000000");
  publishVersionInfo(text);
  toComponentOptions(kIdcOptionInternet);
  select("Help files");
  EXPECT_EQ(field(kIdcPackageSize), "3814.7 GB");
  tick("Help files");
  EXPECT_EQ(field(kIdcDownloadSize), "5722.0 GB");  // 6,000,000,000 KB
}

TEST_F(ComponentOptionsTest, AnUnreachablePrimaryServerFallsBackWithoutAQuestion) {
  publishVersionInfo(workedExample(live()));
  context.versionServers = {dead(), live()};
  toComponentOptions(kIdcOptionInternet);
  EXPECT_EQ(context.state.catalogLoaded, 1);
  EXPECT_EQ(context.catalog.componentCount, 2);
  expectDialogsDone();
}

TEST_F(ComponentOptionsTest, BothServersUnreachableAndTheRetryCancelled) {
  context.versionServers = {dead(), dead()};
  dialogs.expectDialog(164, [](PageView&, ModalDialog&) { return 2; });
  toComponentOptions(kIdcOptionInternet);
  EXPECT_EQ(context.state.catalogLoaded, 0);
  EXPECT_EQ(field(kIdcVersionStatus), "Download of Version Informations aborted.");
  EXPECT_FALSE(options().at(kIdcDownloadProgressBar).visible);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack));
  EXPECT_FALSE(options().waitCursor);
  expectDialogsDone();
}

// A version-info file larger than the reader takes is not fetched at all.
TEST_F(ComponentOptionsTest, AnAnswerLargerThanAVersionInfoFileCanBeIsRefused) {
  publishVersionInfo(workedExample(live()) + std::string(4 * 1024 * 1024, ';'));
  dialogs.expectDialog(164, [](PageView&, ModalDialog&) { return 2; });
  toComponentOptions(kIdcOptionInternet);
  EXPECT_EQ(context.state.catalogLoaded, 0);
  EXPECT_EQ(field(kIdcVersionStatus), "Download of Version Informations aborted.");
  EXPECT_FALSE(options().at(kIdcDownloadProgressBar).visible);
  EXPECT_FALSE(fs::exists(temp.path() + "/setup/version2.ini"));
  EXPECT_FALSE(fs::exists(temp.path() + "/setup/version2.ini.part"));
  expectDialogsDone();
}

TEST_F(ComponentOptionsTest, APrimarySiteBeyondTheServersFailsAtOnceThenTheServersFollow) {
  context.versionServers = {dead(), live()};
  publishVersionInfo(workedExample(live()));
  context.state.primarySite = 5;  // no such URL: fails at once, then the servers in order
  toComponentOptions(kIdcOptionInternet);
  EXPECT_EQ(context.state.catalogLoaded, 1);
  expectDialogsDone();
}

TEST_F(ComponentOptionsTest, LocalModeWithTheFileInTheArchiveNeedsNoNetwork) {
  context.versionServers = {dead(), dead()};
  useLocalArchive(temp.path() + "/archive");
  std::ofstream(temp.path() + "/archive/version2.ini") << workedExample("nowhere.invalid");
  toComponentOptions(kIdcOptionLocal);
  EXPECT_EQ(context.catalog.componentCount, 2);
  EXPECT_EQ(field(kIdcVersionStatus), "");
  EXPECT_FALSE(options().waitCursor);
}

TEST_F(ComponentOptionsTest, LocalModeFetchesAMissingFileIntoTheArchive) {
  publishVersionInfo(workedExample(live()));
  useLocalArchive(temp.path() + "/archive");
  publishPackage("app.cab", "x");
  dialogs.expect("Kestrova client",
                 "A required installation package isn't locally available. Do you want to mark "
                 "it for download?",
                 MessageAnswer::Yes);
  toComponentOptions(kIdcOptionLocal);
  EXPECT_TRUE(fs::exists(temp.path() + "/archive/version2.ini"));
  EXPECT_EQ(item("Kestrova client").stateImage, kStateTicked);
  ASSERT_EQ(context.catalog.componentCount, 2);
  EXPECT_EQ(context.catalog.components[0]->download, 1);
  expectDialogsDone();
}

TEST_F(ComponentOptionsTest, LocalModeAsksOnceForAMissingRequiredPackage) {
  useLocalArchive(temp.path() + "/archive");
  std::ofstream(temp.path() + "/archive/version2.ini") << workedExample("nowhere.invalid");
  std::ofstream(temp.path() + "/archive/help.cab") << "help";
  dialogs.expect("Kestrova client",
                 "A required installation package isn't locally available. Do you want to mark "
                 "it for download?",
                 MessageAnswer::No);
  toComponentOptions(kIdcOptionLocal);
  EXPECT_EQ(item("Kestrova client").stateImage, kStateUnticked);
  EXPECT_EQ(item("Kestrova client").colour, PageView::ItemColour::Red);
  EXPECT_EQ(item("Help files").colour, PageView::ItemColour::Blue);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack));
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Warning);

  // Ticking it by hand asks the other question.
  dialogs.expect("Kestrova client",
                 "The component you want to install is not locally available. Do you want to "
                 "select it for download?",
                 MessageAnswer::No);
  tick("Kestrova client");
  EXPECT_EQ(item("Kestrova client").stateImage, kStateUnticked);
  tick("Help files");  // locally available: no question
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack | WizardButton::kNext));
  expectDialogsDone();
}

TEST_F(ComponentOptionsTest, ACorruptFileIsReportedAndKeptUntilTheFirstPage) {
  publishVersionInfo("this is not a version-info file");
  dialogs.expect("Error", "Version information file is corrupt.", MessageAnswer::Ok);
  toComponentOptions(kIdcOptionInternet);
  EXPECT_FALSE(frame->closed());  // the user is not stuck: Back and Cancel remain
  EXPECT_EQ(shown(), kComponentOptionsTemplate);
  EXPECT_EQ(context.state.catalogLoaded, 1);
  back();
  EXPECT_EQ(shown(), kSetupOptionsTemplate);
  publishVersionInfo(workedExample(live()));
  next();
  ASSERT_TRUE(waitFor([&] { return context.state.catalogLoaded == 1; }));
  ui.runPending();
  EXPECT_EQ(context.catalog.componentCount, 2);
  expectDialogsDone();
}

TEST_F(ComponentOptionsTest, ComingBackKeepsTheTicksUnlessTheFirstPageWasShown) {
  publishVersionInfo(workedExample(live()));
  toComponentOptions(kIdcOptionInternet);
  tick("Help files");
  context.state.installDir = temp.path() + "/install";
  fs::create_directories(context.state.installDir);
  next();
  ASSERT_EQ(shown(), kDestinationFoldersTemplate);
  back();
  EXPECT_EQ(item("Help files").stateImage, kStateTicked);
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack | WizardButton::kNext));
}

}  // namespace
}  // namespace ks::test
