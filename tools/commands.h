#pragma once
// The subcommands of ksetup-tool. Each takes the arguments after its own name
// and the adapters the program's main picked, and returns the process exit
// code.

#include <string>
#include <vector>

#include "platform/adapter_set.h"

namespace ks::tool {

using Arguments = std::vector<std::string>;

int runCatalogCommand(const Arguments& args, const AdapterSet& adapters);
int runVersionCheckCommand(const Arguments& args, const AdapterSet& adapters);
int runVersionBelowCommand(const Arguments& args, const AdapterSet& adapters);
int runFetchCommand(const Arguments& args, const AdapterSet& adapters);
int runHashCommand(const Arguments& args, const AdapterSet& adapters);
int runRepoCommand(const Arguments& args, const AdapterSet& adapters);
int runCabCommand(const Arguments& args, const AdapterSet& adapters);

// The whole program: the subcommand named by argv[1] (or the help).
int runTool(const std::vector<std::string>& argv, const AdapterSet& adapters);

}  // namespace ks::tool
