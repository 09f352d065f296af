#pragma once
// The program's arguments as UTF-8 (argv[0] included), read from the UTF-16
// command line, so a path in any script reaches the core whole.

#include <string>
#include <vector>

namespace ks {

std::vector<std::string> utf8Arguments();

}  // namespace ks
