// Whole setups, unattended through the headless frontend, against real
// servers on 127.0.0.1, in a temporary home.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/start_up.h"
#include "install/package_contents.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/posix_platform.h"
#include "tests/integration/end_to_end/sample_repository.h"
#include "tests/support/fake_platform.h"
#include "tests/support/posix/peer_process.h"
#include "tests/support/posix/run_command.h"
#include "tests/support/source_dir.h"
#include "ui/headless/unattended_dialogs.h"
#include "ui/headless/unattended_run.h"

namespace ks::test {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// One computer: a temporary home with its registry and menus, the setup
// program in a download folder, and the ports of a real run.
class Computer {
 public:
  Computer() {
    setenv("HOME", home.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    platform.emplace();
    system.programPath = home.write("Downloads/setup.exe", "the setup program");
    system.homeDir = home.path();
    fs::create_directories(home.path() + "/Desktop");
    fs::create_directories(home.path() + "/.local/share/applications");
  }

  // Runs the setup as "kestrova-setup ARGS" would, unattended.
  int run(const std::vector<std::string>& arguments, const UnattendedOptions& options,
          const VersionServers& servers) {
    output.str("");
    UnattendedDialogs dialogs(output, options.retries);
    CurlInternetApi internet(dialogs);
    PosixShell shell(home.path() + "/common-applications");
    fs::create_directories(home.path() + "/common-applications");
    SetupContext context;
    context.platform = platform->ports();
    context.platform.systemInfo = &system;
    context.platform.dialogs = &dialogs;
    context.platform.internet = &internet;
    context.platform.shell = &shell;
    context.versionServers = servers;
    SetupRoads roads;
    roads.runWizard = [&](SetupContext& c) { return runUnattendedWizard(c, options, output); };
    roads.uninstallApplication = [](SetupContext& c) {
      return uninstallApplication(c, packageContents);
    };
    return runSetup(context, arguments, roads);
  }

  std::string installDir() const { return home.path() + "/.local/opt/Kestrova"; }

  TempDir home;
  std::optional<PosixPlatform> platform;
  FakeSystemInfo system;
  std::ostringstream output;
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    writeSamplePackages(repository.path() + "/pub");
    ASSERT_TRUE(
        http->start({"/usr/bin/python3", sourceDir() + "/scripts/serve-folder", repository.path()},
                    std::chrono::seconds(20)));
    deadPort = freeLoopbackPort();
  }
  void publish(const std::vector<RepositorySite>& sites, bool extraPackage = false) {
    const std::string text = sampleVersionInfo(sites, extraPackage);
    fs::create_directories(repository.path() + "/kestrova");
    std::ofstream(repository.path() + "/kestrova/version2.ini") << text;
  }
  std::string live() const { return "127.0.0.1:" + std::to_string(http->port()); }
  std::string dead() const { return "127.0.0.1:" + std::to_string(deadPort); }
  RepositorySite site(const std::string& host, const char* label) const {
    return {label, "http://" + host + "/pub"};
  }
  UnattendedOptions internetOptions() const {
    UnattendedOptions options;
    options.mode = SETUP_MODE_INTERNET;
    return options;
  }

  TempDir repository;
  std::optional<PeerProcess> http{std::in_place};
  int deadPort = 0;
  std::optional<Computer> computer{std::in_place};
};

TEST_F(EndToEnd, InternetInstallFallsBackFromADeadSite) {
  publish({site(dead(), "Dead mirror"), site(live(), "Main server")});
  UnattendedOptions options = internetOptions();
  options.desktop = options.programs = true;
  const int code = computer->run({"--unattended", "--mode=internet"}, options, {dead(), live()});
  const std::string out = computer->output.str();
  EXPECT_EQ(code, 0) << out;
  const fs::path dir = computer->installDir();
  EXPECT_EQ(readAll(dir / "Kestrova.exe"), "the client program");
  EXPECT_TRUE(readAll(dir / "plugins" / "sftp.dll") == std::string(100000, 'p'));
  EXPECT_TRUE(fs::exists(dir / "help" / "manual.txt"));
  EXPECT_EQ(readAll(dir / "readme.txt"), "Read me first.\n");
  EXPECT_EQ(readAll(dir / "setup.exe"), "the setup program");
  EXPECT_TRUE(fs::exists(computer->home.path() + "/Desktop/Kestrova.desktop"));
  EXPECT_TRUE(
      fs::exists(computer->home.path() + "/.local/share/applications/Kestrova/Uninstall.desktop"));
  EXPECT_NE(out.find("== Component Options"), std::string::npos) << out;
  EXPECT_NE(out.find("== Download & Install"), std::string::npos) << out;
  EXPECT_NE(out.find("  Kestrova client: installed"), std::string::npos) << out;
  EXPECT_NE(out.find("  Help files: installed"), std::string::npos) << out;
  std::string value;
  EXPECT_TRUE(computer->platform->registry.readValue(RegistryRoot::CurrentUser, kProductKey,
                                                     "Install Directory", value));
  EXPECT_EQ(value, computer->installDir());
}

TEST_F(EndToEnd, APackageThatFailsEverywhereIsCancelledAndTheOthersGoOn) {
  publish({site(live(), "Main server"), site(dead(), "Dead mirror")}, true);
  UnattendedOptions options = internetOptions();
  options.retries = 1;
  options.components = UnattendedOptions::Components::Titles;
  options.titles = {"Kestrova client", "Lost package", "Help files"};
  const int code = computer->run({"--unattended"}, options, {live(), dead()});
  const std::string out = computer->output.str();
  EXPECT_EQ(code, 1) << out;
  EXPECT_NE(out.find("  Kestrova client: installed\n  Lost package: failed\n  Help files: "
                     "installed\n"),
            std::string::npos)
      << out;
  // One retry, then Cancel.
  EXPECT_NE(out.find("-> Retry"), std::string::npos) << out;
  EXPECT_NE(out.find("-> Cancel"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(fs::path(computer->installDir()) / "readme.txt"));  // not chosen
}

TEST_F(EndToEnd, AMirrorsTextsCannotDriveTheTerminal) {
  std::string text = sampleVersionInfo({site(live(), "Main server")}, false);
  const std::string title = "Title=Kestrova client";
  text.replace(text.find(title), title.size(), "Title=Kestrova\x1b[2J\x1b]0;owned\x07 client");
  fs::create_directories(repository.path() + "/kestrova");
  std::ofstream(repository.path() + "/kestrova/version2.ini") << text;
  const int code = computer->run({"--unattended"}, internetOptions(), {live(), live()});
  const std::string out = computer->output.str();
  EXPECT_EQ(code, 0) << out;
  EXPECT_NE(out.find("  Kestrova?[2J?]0;owned? client: installed"), std::string::npos) << out;
  EXPECT_EQ(out.find_first_of("\x1b\x07"), std::string::npos);
}

TEST_F(EndToEnd, TheHomeFolderAsInstallationFolderIsABadUsage) {
  publish({site(live(), "Main server")});
  computer->home.write("notes.txt", "mine");
  UnattendedOptions options = internetOptions();
  options.installDir = computer->home.path() + "/Downloads/..";
  EXPECT_EQ(computer->run({"--unattended"}, options, {live(), live()}), 2)
      << computer->output.str();
  EXPECT_FALSE(fs::exists(computer->home.path() + "/Kestrova.exe"));
  EXPECT_EQ(readAll(computer->home.path() + "/notes.txt"), "mine");
}

TEST_F(EndToEnd, AnFtpMirror) {
  TempDir ftpRoot;
  writeSamplePackages(ftpRoot.path() + "/pub");
  PeerProcess ftp;
  ASSERT_TRUE(ftp.start({"/usr/bin/python3",
                         sourceDir() + "/tests/integration/download/ftp_server.py", ftpRoot.path()},
                        std::chrono::seconds(20)));
  publish({site(dead(), "Dead mirror"),
           {"FTP mirror", "ftp://127.0.0.1:" + std::to_string(ftp.port()) + "/pub"}});
  const int code = computer->run({"--unattended"}, internetOptions(), {live(), live()});
  EXPECT_EQ(code, 0) << computer->output.str();
  EXPECT_EQ(readAll(fs::path(computer->installDir()) / "Kestrova.exe"), "the client program");
}

TEST_F(EndToEnd, DeleteAfterInstallRemovesThePackages) {
  publish({site(live(), "Main server")});
  UnattendedOptions options = internetOptions();
  options.deleteAfterInstall = true;
  options.downloadDir = computer->home.path() + "/packages";
  fs::create_directories(options.downloadDir);
  EXPECT_EQ(computer->run({"--unattended"}, options, {live(), live()}), 0)
      << computer->output.str();
  EXPECT_TRUE(fs::exists(fs::path(computer->installDir()) / "Kestrova.exe"));
  EXPECT_FALSE(fs::exists(options.downloadDir + "/app.cab"));
  EXPECT_FALSE(fs::exists(options.downloadDir + "/help.cab"));
}

TEST_F(EndToEnd, DownloadOnlyThenALocalInstallOnAnotherComputer) {
  publish({site(live(), "Main server")});
  UnattendedOptions download;
  download.mode = SETUP_MODE_DOWNLOAD_ONLY;
  download.downloadDir = computer->home.path() + "/Kestrova Setup";
  const int first = computer->run({"--unattended"}, download, {live(), live()});
  ASSERT_EQ(first, 0) << computer->output.str();
  const fs::path folder = download.downloadDir;
  for (const char* file : {"app.cab", "help.cab", "readme.txt", "version2.ini", "setup.exe"}) {
    EXPECT_TRUE(fs::exists(folder / file)) << file;
  }
  EXPECT_FALSE(fs::exists(computer->installDir()));

  // The folder travels to a second computer, where nothing is reachable.
  Computer second;
  const fs::path copy = second.home.path() + "/from-usb";
  fs::copy(folder, copy);
  http.reset();
  UnattendedOptions local;
  local.mode = SETUP_MODE_LOCAL;
  local.archiveDir = copy.string();
  const int code = second.run({"--unattended"}, local, {dead(), dead()});
  EXPECT_EQ(code, 0) << second.output.str();
  EXPECT_EQ(readAll(fs::path(second.installDir()) / "Kestrova.exe"), "the client program");
  EXPECT_TRUE(fs::exists(copy / "app.cab"));  // local packages stay
}

TEST_F(EndToEnd, UninstallAfterwardsLeavesNothingBehind) {
  publish({site(live(), "Main server")});
  UnattendedOptions options = internetOptions();
  options.desktop = options.programs = options.commonPrograms = true;
  ASSERT_EQ(computer->run({"--unattended"}, options, {live(), live()}), 0)
      << computer->output.str();
  const int code = computer->run({"--unattended", "-uninstall"}, options, {live(), live()});
  EXPECT_EQ(code, 0);
  const std::string out = computer->output.str();
  EXPECT_NE(out.find("Application successfully uninstalled"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(computer->installDir()));
  EXPECT_FALSE(fs::exists(computer->home.path() + "/Desktop/Kestrova.desktop"));
  EXPECT_FALSE(fs::exists(computer->home.path() + "/.local/share/applications/Kestrova"));
  EXPECT_FALSE(fs::exists(computer->home.path() + "/common-applications/Kestrova"));
  EXPECT_FALSE(computer->platform->registry.openKey(RegistryRoot::CurrentUser, kProductKey));
  EXPECT_TRUE(fs::exists(computer->system.programPath));
}

}  // namespace
}  // namespace ks::test
