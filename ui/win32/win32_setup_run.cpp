#include "ui/win32/win32_setup_run.h"

#include <commctrl.h>

#include "app/start_up.h"
#include "download/download_worker.h"
#include "install/package_contents.h"
#include "platform/win32/com_scope.h"
#include "platform/win32/win32_ui_dispatcher.h"
#include "platform/win32/wininet_internet_api.h"
#include "ui/headless/unattended_main.h"
#include "ui/win32/win32_dialogs.h"
#include "ui/win32/win32_wizard.h"
#include "wizard/setup_wizard.h"

namespace ks {

namespace {

// The messages the closing wizard left behind, up to the quit request its
// pages posted.
int drainToQuit() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int runWin32Setup(HINSTANCE instance, Win32Platform& platform,
                  const std::vector<std::string>& arguments) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const ComScope com;
  Win32UiDispatcher ui;
  Win32Dialogs dialogs(ui, instance);
  WinInetInternetApi internet(dialogs);
  SetupContext context;
  context.platform = platform.ports();
  context.platform.dialogs = &dialogs;
  context.platform.ui = &ui;
  context.platform.internet = &internet;
  context.versionServers = versionServersOfThisRun();
  SetupRoads roads;
  roads.runWizard = [instance](SetupContext& setup) {
    Win32Wizard wizard(setup, makeWizardPages(setup), instance);
    wizard.run();
    return wizardExitCode(setup);
  };
  roads.uninstallApplication = [](SetupContext& setup) {
    return uninstallApplication(setup, packageContents);
  };
  roads.drainMessages = drainToQuit;
  // A download the user cancelled may still run; see exitCodeLeavingDownloads.
  return exitCodeLeavingDownloads(runSetup(context, arguments, roads));
}

}  // namespace ks
