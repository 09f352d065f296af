#include "ui/headless/unattended_main.h"

#include <cstdlib>
#include <iostream>

#include "app/start_up.h"
#include "download/download_worker.h"
#include "install/package_contents.h"
#include "ui/headless/headless_dispatcher.h"
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
            << "=server,server names the primary and the fallback\n"
               "    version-info server, each host[:port] (http://HOST/kestrova/version2.ini)\n"
               "    or https://host[:port]. On Linux SSL_CERT_FILE names a file of the\n"
               "    certificate authorities https servers are checked against (default: the\n"
               "    system's); on Windows they are the system's.\n";
  return 0;
}

}  // namespace

VersionServers versionServersOfThisRun() {
  const char* servers = std::getenv(kServersVariable);
  return versionServersFrom(servers ? servers : "");
}

bool runsWithoutWindows(const std::vector<std::string>& args) {
  return wantsHelp(args) || wantsUnattendedRun(args);
}

int runCommandLineWithoutWindows(const std::vector<std::string>& args, const AdapterSet& adapters) {
  if (wantsHelp(args)) return printHelp();
  UnattendedOptions options;
  std::string error;
  if (!parseUnattendedOptions(args, options, error) && !asksForUninstall(args)) {
    std::cerr << "kestrova-setup: " << error << "\n" << unattendedUsage();
    return kUnattendedUsageError;
  }
  UnattendedDialogs dialogs(std::cout, options.retries);
  const std::unique_ptr<InternetApi> internet = adapters.makeInternet(dialogs);
  const std::unique_ptr<UiThreadLoop> ui = adapters.makeUiThreadLoop
                                               ? adapters.makeUiThreadLoop()
                                               : std::make_unique<HeadlessDispatcher>();
  SetupContext context;
  context.platform = adapters.ports;
  context.platform.dialogs = &dialogs;
  context.platform.internet = internet.get();
  context.versionServers = versionServersOfThisRun();
  if (!asksForUninstall(args)) {
    if (const std::string refusal = refusedFolderOption(context, options); !refusal.empty()) {
      std::cerr << "kestrova-setup: " << refusal << "\n";
      return kUnattendedUsageError;
    }
  }
  SetupRoads roads;
  roads.runWizard = [&](SetupContext& c) {
    return runUnattendedWizard(c, options, std::cout, *ui);
  };
  roads.uninstallApplication = [](SetupContext& c) {
    return uninstallApplication(c, packageContents);
  };
  return exitCodeLeavingDownloads(runSetup(context, args, roads));
}

}  // namespace ks
