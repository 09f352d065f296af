// kestrova-setup: the setup with the Qt frontend on the Linux adapters.

#include <QApplication>
#include <string>
#include <vector>

#include "app/start_up.h"
#include "download/download_worker.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/posix_platform.h"
#include "ui/headless/unattended_main.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_setup_run.h"
#include "ui/qt/qt_ui_dispatcher.h"

int main(int argc, char** argv) {
  // --help and unattended runs need no display.
  const std::vector<std::string> args(argv + 1, argv + argc);
  ks::PosixPlatform posix;
  if (ks::runsWithoutWindows(args)) return ks::runCommandLineWithoutWindows(args, posix.adapters());
  QApplication application(argc, argv);
  ks::QtUiDispatcher ui;
  ks::QtDialogs dialogs(ui);
  ks::CurlInternetApi internet(dialogs);
  ks::SetupContext context;
  context.platform = posix.ports();
  context.platform.dialogs = &dialogs;
  context.platform.ui = &ui;
  context.platform.internet = &internet;
  context.versionServers = ks::versionServersOfThisRun();
  ks::QtSetupRun run;
  // A download the user cancelled may still run; see exitCodeLeavingDownloads.
  return ks::exitCodeLeavingDownloads(ks::runSetup(context, args, run.roads()));
}
