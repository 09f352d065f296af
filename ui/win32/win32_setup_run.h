#pragma once
// The setup on the Win32 frontend: the wizard road of start-up as a property
// sheet, the message boxes and dialogs as Windows draws them, WinINet, and
// the drain of the messages the closed wizard left behind.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace ks {

// Runs the setup for the arguments after the program's name; returns the
// process exit code.
int runWin32Setup(HINSTANCE instance, Win32Platform& platform,
                  const std::vector<std::string>& arguments);

}  // namespace ks
