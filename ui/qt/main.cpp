// kestrova-setup: the setup with the Qt frontend on the Linux adapters.

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "ui/headless/logged_dialogs.h"
#include "app/start_up.h"
#include "download/download_worker.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/posix_platform.h"
#include "ui/headless/command_line.h"
#include "ui/headless/unattended_main.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_setup_run.h"
#include "ui/qt/qt_ui_dispatcher.h"

namespace {

constexpr const char* kNoDisplay = "No display found. Run with --unattended, see --help.\n";

bool isSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && value[0] != '\0';
}

// An X or Wayland display, or a Qt platform that needs none (offscreen).
bool hasDisplay() {
  if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) return true;
  if (!isSet("QT_QPA_PLATFORM")) return false;
  const std::string platform = std::getenv("QT_QPA_PLATFORM");
  return platform.rfind("xcb", 0) != 0 && platform.rfind("wayland", 0) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  // --help, --version, bad usage and unattended runs need no display.
  const std::vector<std::string> args(argv + 1, argv + argc);
  ks::PosixPlatform posix;
  const ks::AdapterSet adapters = posix.adapters();
  if (ks::runsWithoutWindows(args)) return ks::runCommandLineWithoutWindows(args, adapters);
  if (!hasDisplay()) {
    std::cerr << kNoDisplay;
    return ks::kUnattendedUsageError;
  }
  ks::CommandLine line;
  std::string error;
  ks::parseCommandLine(args, line, error);
  ks::RunLog log;
  if (!ks::startRunLog(log, line, adapters.lastRunLog, error)) {
    return ks::reportBadUsage(std::cerr, error);
  }
  ks::logLine("kestrova-setup, the wizard");
  QApplication application(argc, argv);
  ks::QtUiDispatcher ui;
  ks::QtDialogs qtDialogs(ui);
  ks::LoggedDialogs dialogs(qtDialogs);
  ks::CurlInternetApi internet(dialogs);
  ks::SetupContext context;
  context.platform = adapters.ports;
  context.platform.dialogs = &dialogs;
  context.platform.ui = &ui;
  context.platform.internet = &internet;
  context.versionServers = ks::versionServersOfThisRun();
  ks::QtSetupRun run;
  const int exitCode = ks::runSetup(context, line.setupArguments, run.roads());
  // A download the user cancelled may still run; see exitCodeLeavingDownloads.
  return ks::exitCodeLeavingDownloads(ks::endRun(exitCode, std::cerr));
}
