#pragma once
// The values of one registry key, as the key's ".values" file holds them.
//
// The file starts with the line "KSREG1"; each value follows as a line with
// two decimal byte counts, "<name length> <data length>", then the name and
// the data as they are, then a newline. Counted bytes let names and data hold
// anything, newlines and NULs included.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks::registry {

// A values file larger than this is taken as damaged, not read.
inline constexpr std::uint64_t kMaxValuesFileBytes = 16u * 1024 * 1024;

struct RegistryValue {
  std::string name;  // as created
  std::string data;
};

std::string serializeValues(const std::vector<RegistryValue>& values);
// False when the text is not a complete values file.
bool parseValues(std::string_view text, std::vector<RegistryValue>& values);

// The value whose name matches without regard to case; null when none does.
RegistryValue* findValue(std::vector<RegistryValue>& values, std::string_view name);

}  // namespace ks::registry
