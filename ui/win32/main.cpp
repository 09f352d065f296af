// kestrova-setup.exe: the setup on the Windows adapters. Its composition
// root: WinINet, the registry, shell links and a message-queue thread for
// the unattended run. The wizard window comes with the Win32 frontend; until
// then the program runs --help and unattended runs, with the same options
// as on Linux.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32_command_line.h"
#include "platform/win32/win32_platform.h"
#include "ui/headless/unattended_main.h"

int main() {
  std::vector<std::string> args = ks::utf8Arguments();
  if (!args.empty()) args.erase(args.begin());  // the program's own name
  ks::Win32Platform win32;
  if (ks::runsWithoutWindows(args)) return ks::runCommandLineWithoutWindows(args, win32.adapters());
  std::fputs("kestrova-setup: this build has no wizard window; use --unattended (see --help).\n",
             stderr);
  return 2;
}
