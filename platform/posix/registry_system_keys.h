#pragma once
// The keys of the local-machine tree that exist whether or not they were ever
// written: SOFTWARE\Microsoft\Windows\CurrentVersion and the keys above it,
// with the value "ProgramFilesDir" of the last one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace ks::registry {

// True for the root of either tree and for the keys on the system path.
bool isSystemKey(RegistryRoot root, const std::vector<std::string>& parts);

// The name of the system key directly below the key, if there is one.
std::optional<std::string> systemSubkey(RegistryRoot root, const std::vector<std::string>& parts);

// True for the value "ProgramFilesDir" of ...\Windows\CurrentVersion.
bool isProgramFilesValue(RegistryRoot root, const std::vector<std::string>& parts,
                         std::string_view name);

}  // namespace ks::registry
