#pragma once
// Names of files as a cabinet stores them: folders separated by backslashes,
// relative to the folder the cabinet is extracted into.

#include <string>
#include <string_view>

namespace ks {

// False for a name that could reach outside the destination folder: an
// absolute name, one with a drive ("C:"), or one with a ".." component
// (both backslashes and slashes count as separators here).
bool isSafeStoredName(std::string_view stored);

// The stored name with every backslash turned into kPathSeparator.
std::string storedNameToPath(std::string_view stored);

// The folder part before the first backslash, or "" for a name without one.
std::string firstStoredFolder(std::string_view stored);

}  // namespace ks
