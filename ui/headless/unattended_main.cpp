#include "ui/headless/unattended_main.h"

#include <cstdlib>
#include <iostream>

#include "app/start_up.h"
#include "download/download_worker.h"
#include "install/package_contents.h"
#include "ui/headless/command_line.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/logged_dialogs.h"
#include "ui/headless/unattended_dialogs.h"
#include "ui/headless/unattended_run.h"

namespace ks {

namespace {

// An unattended run (or -uninstall with --unattended) on the adapters.
int runUnattended(const CommandLine& line, const AdapterSet& adapters) {
  const std::vector<std::string>& args = line.setupArguments;
  UnattendedOptions options;
  std::string error;
  if (!parseUnattendedOptions(args, options, error) && !asksForUninstall(args)) {
    return reportBadUsage(std::cerr, error);
  }
  UnattendedDialogs unattendedDialogs(std::cout, options.retries);
  LoggedDialogs dialogs(unattendedDialogs);
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
      logLine(refusal);
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

}  // namespace

VersionServers versionServersOfThisRun() {
  const char* servers = std::getenv(kVersionServersVariable);
  return versionServersFrom(servers ? servers : "");
}

bool runsWithoutWindows(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  return !parseCommandLine(args, line, error) || line.road != CommandLine::Road::Wizard;
}

int runCommandLineWithoutWindows(const std::vector<std::string>& args, const AdapterSet& adapters) {
  CommandLine line;
  std::string error;
  if (!parseCommandLine(args, line, error)) return reportBadUsage(std::cerr, error);
  if (line.road == CommandLine::Road::Help) return printHelp(std::cout);
  if (line.road == CommandLine::Road::Version) return printVersion(std::cout);
  RunLog log;
  if (!startRunLog(log, line, adapters.lastRunLog, error)) return reportBadUsage(std::cerr, error);
  logLine("kestrova-setup, an unattended run");
  return endRun(runUnattended(line, adapters), std::cerr);
}

}  // namespace ks
