#pragma once
// Processes on KERNEL32: CreateProcessW for update programs, and a Toolhelp32
// snapshot of the processes to find the running client.

#include "platform/processes.h"

namespace ks {

class Win32Processes : public Processes {
 public:
  // The program path is quoted on the command line, so a folder with blanks
  // can't split it.
  bool runAndWait(const std::string& program, const std::string& argv0, int& exitCode) override;
  // A process whose program file is named "Kestrova.exe", in any case; the
  // folder is that of its module path.
  bool runningApplicationFolder(std::string& folder) override;
};

}  // namespace ks
