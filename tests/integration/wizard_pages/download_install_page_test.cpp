// The Download and Install page: the queue, the site order, installing
// right after each download, and the rows' results.

#include "install/download_install_page.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "app/install_manifest.h"
#include "app/start_up.h"
#include "app/uninstall.h"
#include "catalog/component_options_page.h"
#include "download/download_file.h"
#include "download/download_job.h"
#include "download/download_worker.h"
#include "install/completion_page.h"
#include "install/integration.h"
#include "tests/integration/wizard_pages/pages_fixture.h"
#include "tests/support/patterned_body.h"
#include "tests/support/source_dir.h"
#include "wizard/download_location_page.h"
#include "wizard/folder_pages.h"
#include "wizard/setup_options_page.h"

namespace ks::test {
namespace {

namespace fs = std::filesystem;

// Three plain-file components (copy method) on the given sites, each
// required so the page ticks them all.
std::string threeComponents(const std::vector<std::string>& hosts, bool secondMissing) {
  std::string text = "[Sites]\n";
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    text += "Site0" + std::to_string(i + 1) + "=site " + std::to_string(i) + "\n";
  }
  const char* files[] = {"one.txt", secondMissing ? "missing.txt" : "two.txt", "three.txt"};
  for (int c = 0; c < 3; ++c) {
    text += "[G.c" + std::to_string(c) + "]\nTitle=Component " + std::to_string(c + 1) +
            "\nRequired=1\nSize=1\nInstall=1\n";
    for (std::size_t i = 0; i < hosts.size(); ++i) {
      text += "URL0" + std::to_string(i + 1) + "=http://" + hosts[i] + "/pub/" + files[c] + "\n";
    }
  }
  return text;
}

// One required component whose package has a digest; site n serves the copy
// under pub/site<n>/.
std::string checkedComponent(const std::vector<std::string>& hosts, const std::string& digest) {
  std::string text = "[Sites]\n";
  std::string urls;
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    text += "Site0" + n + "=site " + n + "\n";
    urls += "URL0" + n + "=http://" + hosts[i] + "/pub/site" + n + "/app.txt\n";
  }
  return text + "[G.app]\nTitle=Checked\nRequired=1\nSize=1\nInstall=1\nSHA256=" + digest + "\n" +
         urls;
}

// An update program that runs until the test lets it end (or a few seconds
// pass, so that a page that waits for it on its own thread fails the test
// instead of hanging it).
class GatedUpdateProgram : public FakeProcesses {
 public:
  // Its start wakes up the test's UI thread.
  explicit GatedUpdateProgram(UiDispatcher& ui) : ui_(ui) {}
  bool runAndWait(const std::string& program, const std::string& argv0, int& exitCode) override {
    runs.push_back({program, argv0});
    running = true;
    ui_.post([] {});
    std::unique_lock lock(mutex_);
    opened_.wait_for(lock, std::chrono::seconds(5), [&] { return open_; });
    running = false;
    exitCode = 0;
    return true;
  }
  void letEnd() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }
  std::atomic<bool> running{false};

 private:
  UiDispatcher& ui_;
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

class DownloadInstallTest : public PagesTest {
 protected:
  DownloadInstallTest() {
    publishPackage("one.txt", "1");
    publishPackage("two.txt", "2");
    publishPackage("three.txt", "3");
    context.state.installDir = temp.path() + "/install";
    context.state.downloadDir = temp.path() + "/packages";
    fs::create_directories(context.state.installDir);
    fs::create_directories(context.state.downloadDir);
  }

  // From the first page to the Download and Install page, and until its
  // work is done.
  void runToTheEnd(int option) {
    toComponentOptions(option);
    next();  // Destination Folders
    next();  // Download Location (or straight on in local mode)
    if (shown() == kDownloadLocationTemplate) next();
    ASSERT_EQ(shown(), kDownloadInstallTemplate);
    ASSERT_TRUE(
        waitFor([&] { return view.buttons == (WizardButton::kBack | WizardButton::kNext); }));
  }
  std::vector<int> rowImages() {
    std::vector<int> images;
    for (const auto& row : page(kDownloadInstallTemplate).at(kIdcQueueList).rows) {
      images.push_back(row.stateImage);
    }
    return images;
  }
  std::string installed(const char* name) {
    std::ifstream in(context.state.installDir + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // From the first page on until the Download and Install page is shown.
  void toDownloadAndInstall() {
    toComponentOptions(kIdcOptionInternet);
    next();
    next();
    ASSERT_EQ(shown(), kDownloadLocationTemplate);
    next();
    ASSERT_EQ(shown(), kDownloadInstallTemplate);
  }
  // To the Download and Install page with a required update program first,
  // then the components of more; returns once the program runs.
  void toAnUpdateProgram(GatedUpdateProgram& program, const std::string& more) {
    context.platform.processes = &program;
    publishPackage("update.exe", "MZ");
    publishVersionInfo(
        "[Sites]\nSite01=site 0\n[G.u]\nTitle=Update\nRequired=1\nSize=1\n"
        "Install=3\nURL01=http://" +
        live() + "/pub/update.exe\n" + more);
    toDownloadAndInstall();
    ASSERT_TRUE(waitFor([&] { return program.running.load(); }));
  }
  std::string registered(RegistryRoot root, const char* key, const char* name) {
    std::string value;
    return fakes.registry.readValue(root, key, name, value) ? value : "<missing>";
  }
  std::string statusLine() { return page(kDownloadInstallTemplate).at(kIdcDownloadStatus).text; }
};

constexpr const char* kQuitQuestion = "Are you sure you want to quit setup?";

TEST_F(DownloadInstallTest, AChangedPackageOnTheFirstSiteIsNeverInstalledTheSecondSitesIs) {
  publishPackage("site1/app.txt", "changed on the way");
  publishPackage("site2/app.txt", "the published package");
  publishVersionInfo(checkedComponent({live(), live()}, sha256Of("the published package")));
  runToTheEnd(kIdcOptionInternet);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone}));
  EXPECT_EQ(installed("app.txt"), "the published package");
  EXPECT_EQ(std::distance(fs::directory_iterator(context.state.downloadDir), {}), 1)
      << "only the right package is kept";
  expectDialogsDone();  // no retry question
}

// Trying again can't mend packages that are wrong everywhere: no question,
// the component fails and nothing of it is installed or kept.
TEST_F(DownloadInstallTest, WhenEverySiteHasAChangedPackageNothingOfItIsInstalled) {
  publishPackage("site1/app.txt", "changed on the way");
  publishPackage("site2/app.txt", "changed as well");
  publishVersionInfo(checkedComponent({live(), live()}, sha256Of("the published package")));
  runToTheEnd(kIdcOptionInternet);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowFailed}));
  EXPECT_EQ(statusLine(), "Package is damaged or was changed (SHA-256 mismatch).");
  EXPECT_TRUE(fs::is_empty(context.state.installDir));
  EXPECT_TRUE(fs::is_empty(context.state.downloadDir));
  expectDialogsDone();
}

// A package in the local archive is checked like a download: a damaged one
// is replaced by the right one from the sites, never installed.
// An earlier run's transfer from the second site broke off: this run asks
// that site for the rest first, before the primary site's transfer could
// replace what is there, and the package is whole.
TEST_F(DownloadInstallTest, ALaterRunContinuesThePartFromTheSiteThatLeftIt) {
  PeerProcess cutting;
  ASSERT_TRUE(cutting.start(
      {"/usr/bin/python3", sourceDir() + "/tests/integration/download/http_server.py"},
      std::chrono::seconds(20)));
  const std::string peer = "http://127.0.0.1:" + std::to_string(cutting.port());
  const std::string cutUrl = peer + "/cut/later/40000";
  const std::string package = context.state.downloadDir + "/40000";
  DownloadJob earlier;
  earlier.url = &cutUrl;
  earlier.targetPath = &package;
  ASSERT_FALSE(downloadFile(*internet, files, nullptr, earlier));
  ASSERT_EQ(fs::file_size(package + ".part"), 20000u);

  const std::string whole = patternedBody(40000);
  publishPackage("40000", whole);
  publishVersionInfo(
      "[Sites]\nSite01=main\nSite02=mirror\n[G.big]\nTitle=Big\nRequired=1\n"
      "Size=40\nInstall=1\nSHA256=" +
      sha256Of(whole) + "\nURL01=http://" + live() + "/pub/40000\nURL02=" + cutUrl + "\n");
  runToTheEnd(kIdcOptionInternet);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone}));
  EXPECT_TRUE(installed("40000") == whole) << "the package has a gap or an overlap";
  const CommandResult ranges =
      runCommand({"/usr/bin/curl", "-s", peer + "/ranges/cut/later/40000"});
  EXPECT_EQ(ranges.out, "-\nbytes=20000-");
}

TEST_F(DownloadInstallTest, ADamagedLocalPackageIsFetchedAgainFromTheSites) {
  const std::string archive = temp.path() + "/archive";
  fs::create_directories(archive);
  context.state.localArchiveDir = archive;
  publishPackage("site1/app.txt", "the published package");
  std::ofstream(archive + "/version2.ini")
      << checkedComponent({live()}, sha256Of("the published package"));
  std::ofstream(archive + "/app.txt") << "damaged on the disk";
  runToTheEnd(kIdcOptionLocal);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone}));
  EXPECT_EQ(installed("app.txt"), "the published package");
  std::ifstream kept(archive + "/app.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the published package");
}

TEST_F(DownloadInstallTest, ThreeComponentsTheSecondFailingEverywhereThenCancelled) {
  publishVersionInfo(threeComponents({live(), dead()}, true));
  dialogs.expectDialog(164, [](PageView&, ModalDialog&) { return 2; });
  runToTheEnd(kIdcOptionInternet);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone, kRowFailed, kRowDone}));
  EXPECT_EQ(installed("one.txt"), "1");
  EXPECT_EQ(installed("three.txt"), "3");
  EXPECT_EQ(page(kDownloadInstallTemplate).at(kIdcQueueList).boldRow, -1);
  // The bar is shown and ends full; the overall line counts what arrived
  // (one byte each) instead of the catalog's kilobyte, and nothing for the
  // package given up.
  EXPECT_TRUE(page(kDownloadInstallTemplate).at(kIdcDownloadProgressBar).visible);
  EXPECT_EQ(page(kDownloadInstallTemplate).at(kIdcDownloadProgressBar).progressPosition, 100);
  EXPECT_EQ(page(kDownloadInstallTemplate).at(kIdcQueueProgress).text,
            "Package 3 of 3 \u2014 2 bytes of 2 bytes");
  expectDialogsDone();
}

// A last component that fails leaves no success behind: the status line,
// the last page and the exit code say so.
TEST_F(DownloadInstallTest, ALastComponentThatFailsIsReportedAsFailed) {
  std::string text = threeComponents({live()}, false);
  text.replace(text.find("three.txt"), 9, "");  // no package name: nothing to fetch
  publishVersionInfo(text);
  runToTheEnd(kIdcOptionInternet);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone, kRowDone, kRowFailed}));
  EXPECT_EQ(page(kDownloadInstallTemplate).at(kIdcDownloadStatus).text, "Download failed.");
  next();  // Integration
  next();  // Installation Complete
  ASSERT_EQ(shown(), kCompletionTemplate);
  EXPECT_EQ(page(kCompletionTemplate).at(kIdcReadyText).text,
            "Setup could not install these components:\n    Component 3\nThe installation is "
            "incomplete.");
  frame->finish();
  EXPECT_EQ(wizardExitCode(context), 1);
  expectDialogsDone();
}

// While the quit question is open nothing goes on: a download that ends
// meanwhile is installed only after No.
TEST_F(DownloadInstallTest, TheQueueWaitsBehindTheQuitQuestion) {
  publishVersionInfo(threeComponents({live()}, false));
  toDownloadAndInstall();
  dialogs.expect("Setup", kQuitQuestion, MessageAnswer::No, [&] {
    // The question's own event loop hands the page the end of the download
    // (the worker's last message; its thread then ends).
    EXPECT_TRUE(waitForWorkersToEnd());
    EXPECT_FALSE(fs::exists(context.state.installDir + "/one.txt"));
    EXPECT_EQ(rowImages(), (std::vector<int>{kRowDownloading, kRowWaiting, kRowWaiting}));
  });
  frame->cancel();
  ASSERT_FALSE(frame->closed());
  ASSERT_TRUE(waitFor([&] { return view.buttons == (WizardButton::kBack | WizardButton::kNext); }));
  EXPECT_EQ(installed("one.txt"), "1");
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone, kRowDone, kRowDone}));
  expectDialogsDone();
}

// Yes while a server stalls: the transfer stops at once and its file goes;
// what was installed before is registered, so a later uninstall removes it.
TEST_F(DownloadInstallTest, YesStopsTheTransferAndLeavesTheInstalledPartRemovable) {
  PeerProcess stalling;
  ASSERT_TRUE(stalling.start(
      {"/usr/bin/python3", sourceDir() + "/tests/integration/download/http_server.py"},
      std::chrono::seconds(20)));
  std::string text = threeComponents({live()}, false);
  const std::string stalled = "http://127.0.0.1:" + std::to_string(stalling.port()) + "/stall.bin";
  text.replace(text.find("http://" + live() + "/pub/two.txt"), live().size() + 19, stalled);
  publishVersionInfo(text);
  CurlInternetOptions patient;  // only the quit question may end the transfer
  patient.idleTimeout = std::chrono::minutes(10);
  internet.emplace(dialogs, patient);
  toDownloadAndInstall();
  const std::string part = context.state.downloadDir + "/stall.bin.part";
  ASSERT_TRUE(waitFor([&] {
    return rowImages()[0] == kRowDone &&
           page(kDownloadInstallTemplate).at(kIdcDownloadProgress).text.rfind("2 KB of 10 KB", 0) ==
               0;
  }));
  dialogs.expect("Setup", kQuitQuestion, MessageAnswer::Yes);
  frame->cancel();
  ASSERT_TRUE(frame->closed());
  // The run's end waits a moment for the stopped transfer, which ends the
  // process at once if it is still running.
  EXPECT_EQ(exitCodeLeavingDownloads(wizardExitCode(context)), 3);
  EXPECT_FALSE(fs::exists(part));
  EXPECT_FALSE(fs::exists(context.state.downloadDir + "/stall.bin"));
  EXPECT_FALSE(fs::exists(context.state.installDir + "/three.txt"));
  EXPECT_EQ(registered(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue),
            context.state.installDir);
  EXPECT_EQ(registered(RegistryRoot::LocalMachine, kUninstallKey, "UninstallString"),
            uninstallCommand(context.state));

  const UninstallResult removal = uninstallApplication(context);
  EXPECT_TRUE(uninstallComplete(removal));
  EXPECT_FALSE(fs::exists(context.state.installDir));
  expectDialogsDone();
}

TEST_F(DownloadInstallTest, ThePrimarySiteComesFirstThenTheOthersFromTheFirst) {
  publishVersionInfo(threeComponents({dead(), dead(), live()}, false));
  toComponentOptions(kIdcOptionInternet);
  next();
  next();
  ASSERT_EQ(shown(), kDownloadLocationTemplate);
  ASSERT_TRUE(page(kDownloadLocationTemplate).userSelect(kIdcSiteList, 2));
  next();
  ASSERT_TRUE(waitFor([&] { return view.buttons == (WizardButton::kBack | WizardButton::kNext); }));
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone, kRowDone, kRowDone}));
  // The live third site was the primary one: no other site was needed.
  for (int c = 0; c < 3; ++c) {
    const Component& component = *context.catalog.components[c];
    EXPECT_EQ(component.urlIndex, 2);
    EXPECT_EQ(component.urlFailed[0] + component.urlFailed[1], 0);
  }
}

TEST_F(DownloadInstallTest, EveryFailedSiteIsTriedOnceBeforeTheRetryQuestion) {
  publishVersionInfo(threeComponents({dead(), dead(), dead()}, false));
  context.versionServers = {live(), live()};
  int retries = 0;
  // The first component is retried once, then every question is cancelled.
  dialogs.expectDialog(164, [&retries](PageView&, ModalDialog&) { return ++retries, 1; });
  for (int question = 0; question < 3; ++question) {
    dialogs.expectDialog(164, [](PageView&, ModalDialog&) { return 2; });
  }
  runToTheEnd(kIdcOptionInternet);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowFailed, kRowFailed, kRowFailed}));
  EXPECT_EQ(retries, 1);
  expectDialogsDone();
}

TEST_F(DownloadInstallTest, LocalPackagesAreInstalledWithoutATransfer) {
  fs::create_directories(temp.path() + "/archive");
  context.state.localArchiveDir = temp.path() + "/archive";
  std::ofstream(temp.path() + "/archive/version2.ini")
      << threeComponents({"nowhere.invalid"}, false);
  for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
    std::ofstream(temp.path() + "/archive/" + name) << "local " << name;
  }
  std::vector<std::string> statusTexts;
  view.onText = [&](int templateId, int controlId, const std::string& text) {
    if (templateId == kDownloadInstallTemplate && controlId == kIdcDownloadStatus) {
      statusTexts.push_back(text);
    }
  };
  runToTheEnd(kIdcOptionLocal);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone, kRowDone, kRowDone}));
  EXPECT_EQ(installed("two.txt"), "local two.txt");
  EXPECT_EQ(std::count(statusTexts.begin(), statusTexts.end(), "Downloading ..."), 0);
  EXPECT_EQ(statusTexts[0], "Download successfull.");
  EXPECT_EQ(statusTexts[1], "Install successfull.");
  EXPECT_TRUE(fs::exists(temp.path() + "/archive/one.txt"));  // packages stay in local mode
}

TEST_F(DownloadInstallTest, DownloadOnlyInstallsNothing) {
  publishVersionInfo(threeComponents({live()}, false));
  runToTheEnd(kIdcOptionDownloadOnly);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone, kRowDone, kRowDone}));
  EXPECT_TRUE(fs::exists(context.state.downloadDir + "/two.txt"));
  EXPECT_FALSE(fs::exists(context.state.installDir + "/two.txt"));
}

TEST_F(DownloadInstallTest, DeleteAfterInstallAlsoAfterAFailedInstall) {
  std::string text = threeComponents({live()}, false);
  text.replace(text.find("Install=1"), 9, "Install=4");  // the first cannot be installed
  publishVersionInfo(text);
  deleteAfterInstall = true;
  runToTheEnd(kIdcOptionInternet);
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowFailed, kRowDone, kRowDone}));
  for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
    EXPECT_FALSE(fs::exists(context.state.downloadDir + "/" + name)) << name;
  }
  EXPECT_EQ(installed("two.txt"), "2");
}

TEST_F(DownloadInstallTest, BackAndNextAgainProcessesEverythingAgain) {
  publishVersionInfo(threeComponents({live()}, false));
  runToTheEnd(kIdcOptionInternet);
  fs::remove(context.state.installDir + "/one.txt");
  back();
  ASSERT_EQ(shown(), kDownloadLocationTemplate);
  next();
  ASSERT_TRUE(waitFor([&] { return view.buttons == (WizardButton::kBack | WizardButton::kNext); }));
  EXPECT_EQ(page(kDownloadInstallTemplate).at(kIdcQueueList).rows.size(), 3u);
  EXPECT_EQ(installed("one.txt"), "1");
}

// The status texts and the row images of the page, in the order written.
std::vector<std::string> progressOf(const std::vector<std::string>& log) {
  const std::set<std::string> wanted = {"105:1042 text \"Download successfull.\"",
                                        "105:1042 text \"Executing System Update\"",
                                        "105:1042 text \"Install successfull.\"",
                                        "105:1070 row 0 image 2",
                                        "105:1070 row 0 image 3",
                                        "105:1070 row 1 image 2",
                                        "105:1070 row 1 image 3"};
  std::vector<std::string> progress;
  for (const std::string& line : log) {
    if (wanted.count(line)) progress.push_back(line.substr(4));
  }
  return progress;
}

// The installation runs beside the page: while an update program runs, the
// page's thread goes on handling its work and the quit question, and the
// texts and images still come in the order the page shows them.
TEST_F(DownloadInstallTest, AnInstallationLeavesThePageAnswering) {
  GatedUpdateProgram program(ui);
  ASSERT_NO_FATAL_FAILURE(
      toAnUpdateProgram(program, "[G.c]\nTitle=Copy\nRequired=1\nSize=1\nInstall=1\nURL01=http://" +
                                     live() + "/pub/two.txt\n"));
  bool answeredWhileRunning = false;
  ui.post([&] { answeredWhileRunning = program.running.load(); });
  ASSERT_TRUE(waitFor([&] { return answeredWhileRunning; }));
  EXPECT_EQ(page(kDownloadInstallTemplate).at(kIdcDownloadStatus).text, "Executing System Update");
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDownloading, kRowWaiting}));
  EXPECT_EQ(view.buttons, 0);
  dialogs.expect("Setup", kQuitQuestion, MessageAnswer::No);
  frame->cancel();
  EXPECT_FALSE(frame->closed());

  program.letEnd();
  ASSERT_TRUE(waitFor([&] { return view.buttons == (WizardButton::kBack | WizardButton::kNext); }));
  EXPECT_EQ(rowImages(), (std::vector<int>{kRowDone, kRowDone}));
  EXPECT_EQ(progressOf(view.log),
            (std::vector<std::string>{"1070 row 0 image 2", "1042 text \"Download successfull.\"",
                                      "1042 text \"Executing System Update\"",
                                      "1042 text \"Install successfull.\"", "1070 row 0 image 3",
                                      "1070 row 1 image 2", "1042 text \"Download successfull.\"",
                                      "1042 text \"Install successfull.\"", "1070 row 1 image 3"}));
  expectDialogsDone();
}

// Yes while an update program runs: the wizard closes, and the run waits
// for the program, so what it installed is recorded before the setup ends.
TEST_F(DownloadInstallTest, YesDuringAnInstallationWaitsForItsEnd) {
  GatedUpdateProgram program(ui);
  ASSERT_NO_FATAL_FAILURE(toAnUpdateProgram(program, ""));
  std::thread user([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    program.letEnd();
  });
  dialogs.expect("Setup", kQuitQuestion, MessageAnswer::Yes);
  frame->cancel();
  user.join();
  ASSERT_TRUE(frame->closed());
  EXPECT_FALSE(program.running.load());
  EXPECT_EQ(registered(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue),
            context.state.installDir);
  expectDialogsDone();
}

}  // namespace
}  // namespace ks::test
