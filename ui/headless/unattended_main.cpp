#include "ui/headless/unattended_main.h"

#include <cstdlib>
#include <iostream>

#include "app/start_up.h"
#include "download/download_worker.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/posix_platform.h"
#include "ui/headless/unattended_dialogs.h"
#include "ui/headless/unattended_run.h"

namespace ks {

namespace {

constexpr const char* kServersVariable = "KESTROVA_VERSION_SERVERS";

bool wantsHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int printHelp() {
  std::cout << "kestrova-setup: installs, downloads or uninstalls Kestrova.\n\n"
               "Usage: kestrova-setup [options]\n"
               "  (no options)\n"
               "    Opens the setup wizard.\n"
            << unattendedUsage() << "Environment: " << kServersVariable
            << "=host[:port],host[:port] names the primary and the fallback\n"
               "    version-info server (http://HOST/kestrova/version2.ini).\n";
  return 0;
}

std::string argumentText(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : " ") + arg;
  return text;
}

}  // namespace

VersionServers versionServersOfThisRun() {
  const char* servers = std::getenv(kServersVariable);
  return versionServersFrom(servers ? servers : "");
}

bool runsWithoutWindows(const std::vector<std::string>& args) {
  return wantsHelp(args) || wantsUnattendedRun(args);
}

int runCommandLineWithoutWindows(const std::vector<std::string>& args) {
  if (wantsHelp(args)) return printHelp();
  UnattendedOptions options;
  std::string error;
  const bool uninstalling = argumentText(args).find("-uninstall") != std::string::npos;
  if (!parseUnattendedOptions(args, options, error) && !uninstalling) {
    std::cerr << "kestrova-setup: " << error << "\n" << unattendedUsage();
    return 2;
  }
  PosixPlatform posix;
  UnattendedDialogs dialogs(std::cout, options.retries);
  CurlInternetApi internet(dialogs);
  SetupContext context;
  context.platform = posix.ports();
  context.platform.dialogs = &dialogs;
  context.platform.internet = &internet;
  context.versionServers = versionServersOfThisRun();
  int exitCode = 0;
  SetupRoads roads;
  roads.runWizard = [&](SetupContext& c) { exitCode = runUnattendedWizard(c, options, std::cout); };
  runSetup(context, argumentText(args), roads);
  return exitCodeLeavingDownloads(exitCode);
}

}  // namespace ks
