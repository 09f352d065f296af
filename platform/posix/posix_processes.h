#pragma once
// Processes on Linux: posix_spawn and waitpid, and /proc for the running client.

#include <string>

#include "platform/processes.h"

namespace ks {

class PosixProcesses : public Processes {
 public:
  // A downloaded program carries no mode bits: it first gets its owner's
  // execute bit.
  bool runAndWait(const std::string& program, const std::string& argv0, int& exitCode) override;
  // A running process whose executable is named "Kestrova" or "Kestrova.exe".
  bool runningApplicationFolder(std::string& folder) override;
};

}  // namespace ks
