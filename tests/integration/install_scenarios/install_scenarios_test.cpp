// A whole installation on a real file system in a temporary home: cabinet
// packages, integration, the setup copy, and then uninstallation.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/start_up.h"
#include "install/completion_copies.h"
#include "install/install_component.h"
#include "install/integration.h"
#include "platform/posix/posix_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_dir.h"
#include "tools/cabwriter/cabinet_writer.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A temporary home for the whole run of one test: HOME and XDG folders point
// into it, and the all-users menu folder lies inside it too.
class InstallScenario : public ::testing::Test {
 protected:
  InstallScenario() {
    setenv("HOME", home.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    posix.emplace();
    shell.emplace(home.path() + "/common-applications");
    fs::create_directories(home.path() + "/common-applications");
    fs::create_directories(home.path() + "/Desktop");
    fs::create_directories(home.path() + "/.local/share/applications");
    context.platform = posix->ports();
    context.platform.shell = &*shell;
    context.platform.dialogs = &dialogs;
    context.state.mode = SETUP_MODE_INTERNET;
    context.state.installDir = home.path() + "/.local/opt/Kestrova";
    context.state.downloadDir = home.path() + "/downloads";
    context.state.setupPath = home.write("downloads/setup.exe", "the setup program");
    context.state.setupDir = home.path() + "/downloads";
    context.state.setupFileName = "setup.exe";
    fs::create_directories(context.state.installDir);
  }
  ~InstallScenario() override {
    if (savedHome) setenv("HOME", savedHome->c_str(), 1);
  }

  std::string writeCabinet(const std::string& name, const std::vector<cabwriter::WriterFile>& files,
                           cabwriter::Compression compression) {
    cabwriter::WriterOptions options;
    options.compression = compression;
    options.quantumWindowBits = 16;
    options.cabinetName = name;
    std::vector<cabwriter::CabinetImage> images;
    std::string error;
    EXPECT_TRUE(cabwriter::writeCabinets(files, options, images, error)) << error;
    if (images.empty()) return "";
    const std::string path = context.state.downloadDir + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(images.at(0).bytes.data()),
               static_cast<std::streamsize>(images.at(0).bytes.size()));
    return path;
  }

  bool install(const std::string& package, int method) {
    Component component;
    component.installMethod = method;
    component.localPath = package;
    return installComponent(context, component);
  }

  std::optional<std::string> savedHome =
      std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
  test::TempDir home;
  std::optional<PosixPlatform> posix;
  std::optional<PosixShell> shell;
  test::FakeDialogs dialogs;
  SetupContext context;
};

TEST_F(InstallScenario, ACabinetPackageLandsWithItsFolderTimesAndAttributes) {
  cabwriter::WriterFile readme{"readme.txt", bytes("Read me first."), 0x5A21, 0x6000, 0x20};
  // 2025-01-01 12:00:00 local time; read-only and hidden.
  cabwriter::WriterFile plugin{"plugins\\ftp.dll", bytes(std::string(70000, 'p')),
                               static_cast<std::uint16_t>(((2025 - 1980) << 9) | (1 << 5) | 1),
                               static_cast<std::uint16_t>(12 << 11), 0x23};
  const std::string package =
      writeCabinet("app.cab", {readme, plugin}, cabwriter::Compression::Mszip);
  ASSERT_TRUE(install(package, INSTALL_METHOD_CABINET));

  const fs::path dir = context.state.installDir;
  EXPECT_EQ(readAll(dir / "readme.txt"), "Read me first.");
  EXPECT_EQ(readAll(dir / "plugins" / "ftp.dll"), std::string(70000, 'p'));
  struct stat info {};
  ASSERT_EQ(::stat((dir / "plugins" / "ftp.dll").c_str(), &info), 0);
  std::tm expected{};
  expected.tm_year = 2025 - 1900;
  expected.tm_mon = 0;
  expected.tm_mday = 1;
  expected.tm_hour = 12;
  expected.tm_isdst = -1;
  EXPECT_EQ(info.st_mtime, std::mktime(&expected));
  EXPECT_EQ(info.st_mode & 0222, 0u);  // read-only: no write bits

  // A second extraction over the read-only file fails to open it.
  if (::geteuid() != 0) {
    EXPECT_FALSE(install(package, INSTALL_METHOD_CABINET));
  }
}

TEST_F(InstallScenario, AQuantumPackageAndAPlainFile) {
  const std::string help = writeCabinet(
      "help.cab", {{"help\\index.htm", bytes(std::string(5000, 'h')), 0x5A21, 0x6000, 0x20}},
      cabwriter::Compression::Quantum);
  ASSERT_TRUE(install(help, INSTALL_METHOD_CABINET));
  EXPECT_EQ(readAll(fs::path(context.state.installDir) / "help" / "index.htm"),
            std::string(5000, 'h'));
  const std::string plain = home.write("downloads/Kestrova.exe", "client");
  ASSERT_TRUE(install(plain, INSTALL_METHOD_COPY));
  EXPECT_EQ(readAll(fs::path(context.state.installDir) / "Kestrova.exe"), "client");
}

TEST_F(InstallScenario, AnInstallationIsUninstalledWithNothingLeftButTheSetupFile) {
  const std::string package = writeCabinet("app.cab",
                                           {{"Kestrova.exe", bytes("client"), 0x5A21, 0x6000, 0x20},
                                            {"lang\\de.txt", bytes("Hallo"), 0x5A21, 0x6000, 0x20}},
                                           cabwriter::Compression::Mszip);
  ASSERT_TRUE(install(package, INSTALL_METHOD_CABINET));
  integrateApplication(context, {true, true, true});
  copySetupFiles(context);

  const std::string user = home.path() + "/.local/share/applications/Kestrova";
  EXPECT_TRUE(fs::exists(home.path() + "/Desktop/Kestrova.desktop"));
  EXPECT_TRUE(fs::exists(user + "/Uninstall.desktop"));
  EXPECT_TRUE(fs::exists(home.path() + "/common-applications/Kestrova/ReadMe.desktop"));
  EXPECT_EQ(readAll(context.state.installDir + "/setup.exe"), "the setup program");

  // A later start with "-uninstall" finds the installation in the registry.
  SetupContext later;
  test::FakeSystemInfo system;
  system.programPath = context.state.installDir + "/setup.exe";
  later.platform = context.platform;
  later.platform.systemInfo = &system;
  dialogs.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
  SetupRoads roads;
  roads.runWizard = [](SetupContext&) {
    ADD_FAILURE() << "the wizard must not run";
    return 0;
  };
  EXPECT_EQ(runSetup(later, {"-uninstall"}, roads), 0);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  // The setup program it ran went with the folder: nobody has to delete it.
  EXPECT_EQ(dialogs.shown[1].text, "Application successfully uninstalled");

  EXPECT_FALSE(fs::exists(context.state.installDir));
  EXPECT_FALSE(fs::exists(home.path() + "/Desktop/Kestrova.desktop"));
  EXPECT_FALSE(fs::exists(user));
  EXPECT_FALSE(fs::exists(home.path() + "/common-applications/Kestrova"));
  EXPECT_FALSE(posix->registry.openKey(RegistryRoot::CurrentUser, kProductKey));
  EXPECT_FALSE(posix->registry.openKey(RegistryRoot::LocalMachine, kUninstallKey));
  EXPECT_TRUE(fs::exists(context.state.setupPath));  // the setup file the user started
}

TEST_F(InstallScenario, UninstallWithTheHomeFolderAsInstallationFolderKeepsTheHome) {
  home.write("notes.txt", "mine");
  // Registered as if something had been installed there.
  context.state.installDir = context.installation.folder = home.path();
  context.installation.setupCopy = InstallationRecord::SetupCopy::Made;
  integrateApplication(context, {true, false, false});
  dialogs.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
  SetupContext later;
  test::FakeSystemInfo system;
  system.homeDir = home.path();
  later.platform = context.platform;
  later.platform.systemInfo = &system;
  SetupRoads roads;
  EXPECT_EQ(runSetup(later, {"-uninstall"}, roads), 0);
  EXPECT_EQ(readAll(home.path() + "/notes.txt"), "mine");
  EXPECT_FALSE(fs::exists(home.path() + "/Desktop/Kestrova.desktop"));
  EXPECT_FALSE(posix->registry.openKey(RegistryRoot::CurrentUser, kProductKey));
}

TEST_F(InstallScenario, UninstallFailureMessages) {
  dialogs.answers = {MessageAnswer::Yes, MessageAnswer::Ok, MessageAnswer::Ok};
  SetupRoads roads;
  SetupContext later;
  later.platform = context.platform;
  EXPECT_EQ(runSetup(later, {"-uninstall"}, roads), 1);  // nothing was removed
  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[1].text, "Registry key not found.");
  EXPECT_EQ(dialogs.shown[2].text, "Not all parts of the application could be removed!");
}

}  // namespace
}  // namespace ks
