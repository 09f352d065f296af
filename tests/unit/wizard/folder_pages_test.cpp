// The folder pages: defaults, validation messages, folder creation and the
// running-application check.

#include "wizard/folder_pages.h"

#include "tests/support/native_path.h"
#include "tests/unit/wizard/wizard_fixture.h"
#include "wizard/setup_options_page.h"

namespace ks::test {
namespace {

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::string createQuestion(const std::string& folder) {
  return "The folder '" + folder + "' does not exist.\nDo you want to create it?";
}
std::string creationFailure(const std::string& folder) {
  return "Setup could not create the folder '" + folder +
         "'.\nPlease make sure it is a valid folder name, and then try again. Or try a "
         "different folder name.";
}

class FolderPagesTest : public WizardTest {
 protected:
  void programFiles(const std::string& folder) {
    fakes.registry.createKey(RegistryRoot::LocalMachine, kCurrentVersionKey);
    fakes.registry.writeValue(RegistryRoot::LocalMachine, kCurrentVersionKey, "ProgramFilesDir",
                              folder);
  }
  // Starts the wizard in a mode and goes on to the Destination Folders page.
  void toDestinationFolders(int option) {
    startWizard();
    click(option);
    next();
    if (shown() == 153) {
      type(kIdcLocalArchiveEdit, test::nativePath("/pkgs"));
      next();
    }
    next();  // past the component page
    ASSERT_EQ(shown(), 104);
  }
  HeadlessPageView& destination() { return page(104); }
};

TEST_F(FolderPagesTest, LocalModeProposesTheSetupFolderAndNeedsItToExist) {
  startWizard();
  click(kIdcOptionLocal);
  next();
  ASSERT_EQ(shown(), 153);
  EXPECT_EQ(page(153).at(kIdcLocalArchiveEdit).text, test::nativePath("/home/user/Kestrova Setup"));
  EXPECT_EQ(view.buttons, static_cast<unsigned>(WizardButton::kBack | WizardButton::kNext));
  dialogs.expect("Error", "Directory not found.", MessageAnswer::Ok);
  next();
  EXPECT_EQ(shown(), 153);
  type(kIdcLocalArchiveEdit, "");
  dialogs.expect("Error", "Folder is NULL.", MessageAnswer::Ok);
  next();
  EXPECT_EQ(shown(), 153);
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Warning);
  expectDialogsDone();
}

TEST_F(FolderPagesTest, AValidArchiveFolderBecomesTheDisabledDownloadFolder) {
  fakes.fileSystem.folders = {test::nativePath("/pkgs")};
  context.state.installDir = test::nativePath("/opt/Kestrova");
  toDestinationFolders(kIdcOptionLocal);
  EXPECT_EQ(context.state.downloadDir, test::nativePath("/pkgs"));
  EXPECT_EQ(destination().at(kIdcDownloadEdit).text, test::nativePath("/pkgs"));
  for (int id :
       {kIdcDownloadExplanation, kIdcDownloadLabel, kIdcDownloadEdit, kIdcBrowseDownload}) {
    EXPECT_FALSE(destination().at(id).enabled) << id;
  }
  for (int id : {kIdcInstallExplanation, kIdcInstallLabel, kIdcInstallEdit, kIdcBrowseInstall}) {
    EXPECT_TRUE(destination().at(id).enabled) << id;
  }
}

TEST_F(FolderPagesTest, InternetModeProposesProgramFilesAndTheSetupFolder) {
  programFiles(test::nativePath("/home/user/.local/opt"));
  toDestinationFolders(kIdcOptionInternet);
  EXPECT_EQ(destination().at(kIdcInstallEdit).text,
            test::nativePath("/home/user/.local/opt/Kestrova"));
  EXPECT_EQ(destination().at(kIdcDownloadEdit).text, test::nativePath("/home/user/dl"));
}

TEST_F(FolderPagesTest, AnUnreadableProgramFilesFolderGivesTheBareName) {
  fakes.registry.createKey(RegistryRoot::LocalMachine, kCurrentVersionKey);
  toDestinationFolders(kIdcOptionInternet);
  EXPECT_EQ(context.state.installDir, "Kestrova");
}

TEST_F(FolderPagesTest, NoCurrentVersionKeyLeavesTheInstallFolderEmpty) {
  toDestinationFolders(kIdcOptionInternet);
  EXPECT_EQ(destination().at(kIdcInstallEdit).text, "");
  dialogs.expect("Error", "Install folder path is empty!", MessageAnswer::Ok);
  next();
  EXPECT_EQ(shown(), 104);
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Error);
  expectDialogsDone();
}

TEST_F(FolderPagesTest, AMissingFolderIsCreatedAfterYes) {
  fakes.fileSystem.folders = {test::nativePath("/home/user/dl"), test::nativePath("/opt")};
  toDestinationFolders(kIdcOptionInternet);
  type(kIdcInstallEdit, test::nativePath("/opt/Kestrova"));
  dialogs.expect("Create Folder", createQuestion(test::nativePath("/opt/Kestrova")),
                 MessageAnswer::Yes);
  next();
  EXPECT_EQ(shown(), 147);
  EXPECT_TRUE(fakes.fileSystem.pathExists(test::nativePath("/opt/Kestrova")));
  EXPECT_EQ(dialogs.shown[0].buttons, MessageButtons::YesNoCancel);
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Question);
  expectDialogsDone();
}

TEST_F(FolderPagesTest, NoOrCancelToTheQuestionStaysWithoutAnotherMessage) {
  fakes.fileSystem.folders = {test::nativePath("/home/user/dl"), test::nativePath("/opt")};
  toDestinationFolders(kIdcOptionInternet);
  type(kIdcInstallEdit, test::nativePath("/opt/Kestrova"));
  dialogs.expect("Create Folder", createQuestion(test::nativePath("/opt/Kestrova")),
                 MessageAnswer::No);
  next();
  dialogs.expect("Create Folder", createQuestion(test::nativePath("/opt/Kestrova")),
                 MessageAnswer::Cancel);
  next();
  EXPECT_EQ(shown(), 104);
  EXPECT_EQ(destination().at(kIdcInstallEdit).text, test::nativePath("/opt/Kestrova"));
  expectDialogsDone();
}

// Missing parents are created with the folder; when one level can't be
// made, the levels made before it are removed again.
TEST_F(FolderPagesTest, AFolderIsCreatedWithItsMissingParentsOrNotAtAll) {
  using test::nativePath;
  fakes.fileSystem.folders = {nativePath("/home/user/dl"), nativePath("/a")};
  toDestinationFolders(kIdcOptionInternet);
  fakes.fileSystem.unwritable.insert(nativePath("/a/b/c"));
  type(kIdcInstallEdit, nativePath("/a/b/c"));
  dialogs.expect("Create Folder", createQuestion(nativePath("/a/b/c")), MessageAnswer::Yes);
  dialogs.expect("Error", creationFailure(nativePath("/a/b/c")), MessageAnswer::Ok);
  next();
  EXPECT_EQ(shown(), 104);
  EXPECT_FALSE(fakes.fileSystem.pathExists(nativePath("/a/b")));
  type(kIdcInstallEdit, nativePath("/a/x/y/z"));
  dialogs.expect("Create Folder", createQuestion(nativePath("/a/x/y/z")), MessageAnswer::Yes);
  next();
  EXPECT_EQ(shown(), 147);
  EXPECT_TRUE(fakes.fileSystem.pathExists(nativePath("/a/x/y/z")));
  expectDialogsDone();
}

TEST_F(FolderPagesTest, TheDownloadFolderIsCheckedAfterTheInstallFolder) {
  fakes.fileSystem.folders = {test::nativePath("/opt/Kestrova")};
  toDestinationFolders(kIdcOptionInternet);
  type(kIdcInstallEdit, test::nativePath("/opt/Kestrova"));
  type(kIdcDownloadEdit, "");
  dialogs.expect("Error", "Download folder path is empty!", MessageAnswer::Ok);
  next();
  type(kIdcDownloadEdit, test::nativePath("/opt/Kestrova/packages"));
  dialogs.expect("Create Folder", createQuestion(test::nativePath("/opt/Kestrova/packages")),
                 MessageAnswer::Yes);
  next();
  EXPECT_EQ(shown(), 147);
  EXPECT_EQ(context.state.downloadDir, test::nativePath("/opt/Kestrova/packages"));
  expectDialogsDone();
}

TEST_F(FolderPagesTest, DownloadOnlyAcceptsAnEmptyInstallFolder) {
  fakes.fileSystem.folders = {test::nativePath("/home/user/Kestrova Setup")};
  context.state.installDir = "";
  toDestinationFolders(kIdcOptionDownloadOnly);
  EXPECT_EQ(destination().at(kIdcDownloadEdit).text, test::nativePath("/home/user/Kestrova Setup"));
  EXPECT_FALSE(destination().at(kIdcInstallEdit).enabled);
  next();
  EXPECT_EQ(shown(), 147);
  expectDialogsDone();
}

TEST_F(FolderPagesTest, ARunningClientBlocksItsFolderWhateverItsSpelling) {
  using test::nativePath;
  fakes.fileSystem.folders = {nativePath("/home/user/dl"), nativePath("/opt/Kestrova"),
                              nativePath("/opt/kestrova"), nativePath("/srv")};
  fakes.fileSystem.links[nativePath("/srv/k")] = nativePath("/opt/Kestrova");
  fakes.processes.runningFolder = nativePath("/opt/Kestrova");
  toDestinationFolders(kIdcOptionInternet);
  for (const char* spelling : {"/opt/Kestrova", "/opt/Kestrova/", "/opt/./Kestrova", "/srv/k"}) {
    type(kIdcInstallEdit, nativePath(spelling));
    dialogs.expect("Error", "Please close Kestrova before you continue", MessageAnswer::Ok);
    next();
    EXPECT_EQ(shown(), 104) << spelling;
  }
  type(kIdcInstallEdit, nativePath("/opt/kestrova"));  // another folder where case matters
  next();
  EXPECT_EQ(shown(), 147);
  back();
  fakes.fileSystem.ignoreCase = true;  // the same folder where it does not
  dialogs.expect("Error", "Please close Kestrova before you continue", MessageAnswer::Ok);
  next();
  EXPECT_EQ(shown(), 104);
  expectDialogsDone();
}

TEST_F(FolderPagesTest, AProtectedOrOverlongInstallFolderIsRefusedBeforeAnythingIsMade) {
  using test::nativePath;
  fakes.systemInfo.homeDir = nativePath("/home/user");
  toDestinationFolders(kIdcOptionInternet);
  for (const char* folder : {"/", "/home/user/", "/home", "/home/user/Apps/.."}) {
    type(kIdcInstallEdit, nativePath(folder));
    dialogs.expect("Error",
                   "Setup can't install into '" + nativePath(folder) +
                       "': it is the root of a drive, a system folder, your home folder or a "
                       "folder that holds it.\nPlease choose a folder of its own, for example a "
                       "new folder inside it.",
                   MessageAnswer::Ok);
    next();
    EXPECT_EQ(shown(), 104) << folder;
  }
  // 260 bytes are not cut to 259 (another folder): they are refused, and
  // nothing is created.
  const std::string overlong = nativePath("/home/user/") + std::string(249, 'k');
  type(kIdcInstallEdit, overlong);
  dialogs.expect("Error",
                 "The folder path is too long: at most 259 characters fit.\nPlease choose a "
                 "folder with a shorter path.",
                 MessageAnswer::Ok);
  next();
  EXPECT_EQ(shown(), 104);
  EXPECT_EQ(context.state.installDir, overlong);
  EXPECT_FALSE(fakes.fileSystem.pathExists(overlong.substr(0, 259)));
  expectDialogsDone();
}

TEST_F(FolderPagesTest, ChosenFoldersSurviveBackAndNext) {
  fakes.fileSystem.folders = {test::nativePath("/home/user/dl"), test::nativePath("/srv/k")};
  toDestinationFolders(kIdcOptionInternet);
  type(kIdcInstallEdit, test::nativePath("/srv/k"));
  next();
  back();
  EXPECT_EQ(destination().at(kIdcInstallEdit).text, test::nativePath("/srv/k"));
}

TEST_F(FolderPagesTest, CancellingTheBrowseDialogPutsTheStoredFolderBack) {
  context.state.installDir = test::nativePath("/opt/Kestrova");
  toDestinationFolders(kIdcOptionInternet);
  type(kIdcInstallEdit, test::nativePath("/typed/over"));
  dialogs.expectBrowse(std::nullopt);
  click(kIdcBrowseInstall);
  EXPECT_EQ(destination().at(kIdcInstallEdit).text, test::nativePath("/opt/Kestrova"));
  dialogs.expectBrowse(test::nativePath("/media/disk/"));
  click(kIdcBrowseDownload);
  EXPECT_EQ(destination().at(kIdcDownloadEdit).text,
            test::nativePath("/media/disk/"));  // no separator removed
  expectDialogsDone();
}

TEST_F(FolderPagesTest, HeaderPagesDrawTheirTitleOverTheBand) {
  toDestinationFolders(kIdcOptionInternet);
  EXPECT_EQ(destination().at(1043).style, PageView::TextStyle::HeaderText);
  EXPECT_EQ(destination().at(1096).style, PageView::TextStyle::HeaderText);
  EXPECT_EQ(destination().at(1043).font.height, 18);
  frame->paint();
  EXPECT_EQ(destination().painted.at(1111), 111);
}

}  // namespace
}  // namespace ks::test
