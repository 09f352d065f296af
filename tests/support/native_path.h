#pragma once
// Tests write their paths once, with slashes; nativePath gives them the
// platform's separator, so the same test runs on Linux and on Windows.

#include <algorithm>
#include <string>

#include "app/paths.h"

namespace ks::test {

inline std::string nativePath(std::string path) {
  std::replace(path.begin(), path.end(), '/', kPathSeparator);
  return path;
}

}  // namespace ks::test
