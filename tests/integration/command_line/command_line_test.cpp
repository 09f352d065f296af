// kestrova-setup as a user starts it: --version, --help, bad usage, no
// display, and the exit codes and the log of real runs in a temporary home.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/support/posix/peer_process.h"
#include "tests/support/posix/run_command.h"
#include "tests/support/temp_dir.h"

namespace ks::test {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The program in a home of its own, without a display.
class CommandLineTest : public ::testing::Test {
 protected:
  CommandResult run(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/env",
                                     "-u",
                                     "DISPLAY",
                                     "-u",
                                     "WAYLAND_DISPLAY",
                                     "-u",
                                     "QT_QPA_PLATFORM",
                                     "-u",
                                     "XDG_STATE_HOME",
                                     "-u",
                                     "XDG_CONFIG_HOME",
                                     "-u",
                                     "XDG_DATA_HOME",
                                     "-u",
                                     "XDG_CACHE_HOME",
                                     "HOME=" + home.path(),
                                     "KESTROVA_VERSION_SERVERS=" + servers,
                                     KESTROVA_SETUP};
    argv.insert(argv.end(), args.begin(), args.end());
    return runCommand(argv);
  }
  std::string lastRunLog() const {
    return home.path() + "/.local/state/kestrova-setup/last-run.log";
  }

  TempDir home;
  std::string servers = "127.0.0.1:" + std::to_string(freeLoopbackPort());
};

TEST_F(CommandLineTest, VersionHelpAndBadUsage) {
  CommandResult result = run({"--version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(std::regex_match(result.out, std::regex("kestrova-setup [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << result.out;

  result = run({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  for (const char* line :
       {"  0  every selected component was installed", "  1  some failed", "  2  bad usage",
        "  3  cancelled by the user", "--log=FILE", "--version"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line;
  }

  const struct {
    std::vector<std::string> args;
    const char* says;
  } bad[] = {{{"--bogus"}, "kestrova-setup: unknown option --bogus\n"},
             {{"--desktop"}, "kestrova-setup: --desktop is an option of --unattended runs\n"},
             {{"--unattended", "--mode=internet", "--colour"},
              "kestrova-setup: unknown option --colour\n"},
             {{"--log="}, "kestrova-setup: --log needs a file name\n"}};
  for (const auto& c : bad) {
    result = run(c.args);
    EXPECT_EQ(result.exitCode, 2) << c.says;
    EXPECT_EQ(result.err.rfind(c.says, 0), 0u) << result.err;
    EXPECT_NE(result.err.find("Usage: kestrova-setup"), std::string::npos);
  }
}

TEST_F(CommandLineTest, TheWizardWithoutADisplaySaysHowToGoOn) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"-uninstall"}}) {
    const CommandResult result = run(args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "No display found. Run with --unattended, see --help.\n");
    EXPECT_EQ(result.out, "");
  }
}

// Everything installed from a local archive: 0, and the log of --log holds
// every page, status line and the outcome, each with the time.
TEST_F(CommandLineTest, ACompleteRunExitsZeroAndLogsEveryStep) {
  const std::string archive = home.path() + "/archive";
  fs::create_directories(archive);
  std::ofstream(archive + "/version2.ini")
      << "[Sites]\nSite01=Nowhere\n\n[Core.ReadMe]\nTitle=Read me\nVersion=1.0\nRequired=1.0\n"
         "VersionCheck=FileExist(\"%InstallDir%/readme.txt\")\nSize=1\nInstall=1\n"
         "URL01=http://127.0.0.1:9/pub/readme.txt\n";
  std::ofstream(archive + "/readme.txt") << "Read me first.\n";
  const std::string log = home.path() + "/run.log";
  const CommandResult result = run({"--unattended", "--mode=local", "--archive-dir=" + archive,
                                    "--install-dir=" + home.path() + "/Kestrova", "--log=" + log});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_EQ(result.err, "");
  const std::string text = readAll(log);
  for (const char* line : {"Page: Setup Options", "Page: Component Options",
                           "Page: Destination Folders", "Page: Download & Install",
                           "  Read me: succeeded", "Outcome: everything was done (exit code 0)"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  std::istringstream lines(text);
  std::string line;
  const std::regex stamped("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3} .+");
  while (std::getline(lines, line)) EXPECT_TRUE(std::regex_match(line, stamped)) << line;
  EXPECT_FALSE(fs::exists(lastRunLog()));  // --log replaces it
}

// A run whose version-info server does not answer: 1, and the message that
// ends it points to the log of the last run, which names the URL tried (on
// the one server given, as primary and fallback) with the answer.
TEST_F(CommandLineTest, AFailedRunExitsOneAndPointsToTheLogOfTheLastRun) {
  const CommandResult result = run({"--unattended", "--mode=internet", "--retries=0"});
  EXPECT_EQ(result.exitCode, 1) << result.out;
  EXPECT_EQ(result.err, "kestrova-setup: not everything could be done. The log of this run: " +
                            lastRunLog() + "\n");
  const std::string text = readAll(lastRunLog());
  const std::string tried = "URL http://" + servers + "/kestrova/version2.ini: no answer: ";
  std::size_t first = text.find(tried);
  ASSERT_NE(first, std::string::npos) << text;
  EXPECT_NE(text.find(tried, first + 1), std::string::npos) << text;  // the fallback
  EXPECT_NE(text.find("Outcome: not everything could be done (exit code 1)"), std::string::npos);
}

}  // namespace
}  // namespace ks::test
