// kestrova-setup.exe: the setup on the Windows adapters, its composition
// root. Without arguments it shows the wizard; --help and unattended runs
// need no window and write to the console they were started from.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32_command_line.h"
#include "platform/win32/win32_platform.h"
#include "ui/headless/unattended_main.h"
#include "ui/win32/win32_setup_run.h"

namespace {

// A windows program has no console of its own: its output goes where it was
// sent (a pipe, a file) or, from a console, to that console.
void attachParentConsole() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != nullptr && output != INVALID_HANDLE_VALUE &&
      GetFileType(output) != FILE_TYPE_UNKNOWN) {
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::vector<std::string> args = ks::utf8Arguments();
  if (!args.empty()) args.erase(args.begin());  // the program's own name
  ks::Win32Platform win32;
  if (ks::runsWithoutWindows(args)) {
    attachParentConsole();
    return ks::runCommandLineWithoutWindows(args, win32.adapters());
  }
  return ks::runWin32Setup(instance, win32, args);
}
