#pragma once
// Where the project's sources lie, for tests that need a script or fixture.

#include <string>

namespace ks::test {

// $KS_SOURCE_DIR when set (ctest sets it), else the source folder the tests
// were built from.
std::string sourceDir();

}  // namespace ks::test
