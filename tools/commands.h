#pragma once
// The subcommands of ksetup-tool. Each takes the arguments after its own name
// and returns the process exit code.

#include <string>
#include <vector>

namespace ks::tool {

using Arguments = std::vector<std::string>;

int runCatalogCommand(const Arguments& args);
int runVersionCheckCommand(const Arguments& args);
int runVersionBelowCommand(const Arguments& args);
int runFetchCommand(const Arguments& args);
int runCabCommand(const Arguments& args);

}  // namespace ks::tool
