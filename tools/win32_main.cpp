// ksetup-tool.exe: the commands on the Windows adapters, with the arguments
// as UTF-8 whatever the ANSI code page.

#include "platform/win32/win32_command_line.h"
#include "platform/win32/win32_platform.h"
#include "tools/commands.h"

int main() {
  ks::Win32Platform win32;
  return ks::tool::runTool(ks::utf8Arguments(), win32.adapters());
}
