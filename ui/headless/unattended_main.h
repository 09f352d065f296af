#pragma once
// The command line of kestrova-setup that needs no display: --help and
// unattended runs.

#include <string>
#include <vector>

namespace ks {

// True when the arguments are for runCommandLineWithoutWindows: --help, or
// an unattended run.
bool runsWithoutWindows(const std::vector<std::string>& args);

// Runs the setup for those arguments on the Linux adapters, printing to
// standard output; returns the process exit code.
int runCommandLineWithoutWindows(const std::vector<std::string>& args);

}  // namespace ks
