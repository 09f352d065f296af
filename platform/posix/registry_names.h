#pragma once
// Names in the file-backed registry. Key and value names are compared
// without regard to case (ASCII letters only, like the registry's own
// folding of the characters the setup uses) and kept as created.
//
// A key is a folder whose name is the key's name made safe for the file
// system: '%', '/', control bytes, bytes from 0x7F up and a leading '.' are
// written as %XX (two upper-case hex digits); every other byte stays. So
// folder names that begin with '.' are never keys, and the registry keeps its
// own files under such names.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ks::registry {

std::string foldName(std::string_view name);
bool sameName(std::string_view a, std::string_view b);

std::string encodeKeyName(std::string_view name);
// The key name a folder name stands for; nothing when the folder name is not
// one this encoding produces.
std::optional<std::string> decodeKeyName(std::string_view folderName);

// Splits a key path at its backslashes; nothing when a part is empty (the
// empty path is the root: no parts).
std::optional<std::vector<std::string>> splitKeyPath(std::string_view path);

}  // namespace ks::registry
