#pragma once
// Runs a program for a test and collects what it printed (POSIX).

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace ks::test {

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs argv[0] with the given arguments (no shell), waits for it, and returns
// its exit code and output. Standard input is empty.
CommandResult runCommand(const std::vector<std::string>& argv);

}  // namespace ks::test
