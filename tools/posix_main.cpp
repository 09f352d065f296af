// ksetup-tool on Linux: the commands on the Linux adapters.

#include <string>
#include <vector>

#include "platform/posix/posix_platform.h"
#include "tools/commands.h"

int main(int argc, char** argv) {
  ks::PosixPlatform posix;
  return ks::tool::runTool(std::vector<std::string>(argv, argv + argc), posix.adapters());
}
