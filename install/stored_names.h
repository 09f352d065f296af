#pragma once
// Names of files as a cabinet stores them: folders separated by backslashes,
// relative to the folder the cabinet is extracted into.

#include <string>
#include <string_view>

namespace ks {

// False for a name that could reach outside the destination folder: an
// absolute name, one with a drive ("C:"), or one with a ".." component
// (both backslashes and slashes count as separators here); and for a name
// with a control character (a byte below 32, or 127).
bool isSafeStoredName(std::string_view stored);

// True for a name a cabinet may give its next cabinet: a plain file name in
// the same folder, without separators, drive, ".." or control characters.
bool isPlainCabinetName(std::string_view name);

// The stored name as a path below the destination: its folders joined with
// kPathSeparator, without empty or "." components.
std::string storedNameToPath(std::string_view stored);

}  // namespace ks
