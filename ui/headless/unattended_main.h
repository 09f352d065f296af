#pragma once
// The command line of kestrova-setup that needs no display: --help and
// unattended runs.

#include <string>
#include <vector>

#include "catalog/version_servers.h"
#include "platform/adapter_set.h"

namespace ks {

// True when the arguments are for runCommandLineWithoutWindows: --help, or
// an unattended run.
bool runsWithoutWindows(const std::vector<std::string>& args);

// The version-info servers of this run: KESTROVA_VERSION_SERVERS
// ("host[:port],host[:port]") when set, else the built-in ones.
VersionServers versionServersOfThisRun();

// Runs the setup for those arguments on the given adapters, printing to
// standard output; returns the process exit code.
int runCommandLineWithoutWindows(const std::vector<std::string>& args, const AdapterSet& adapters);

}  // namespace ks
