// Any bytes as a key's values file and as a key folder name: what parses
// must come back unchanged when written again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/registry_names.h"
#include "platform/posix/registry_values_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ks::registry::RegistryValue> values;
  if (ks::registry::parseValues(text, values) && ks::registry::serializeValues(values) != text) {
    __builtin_trap();
  }
  if (const auto name = ks::registry::decodeKeyName(text)) {
    if (ks::registry::encodeKeyName(*name) != text) __builtin_trap();
  }
  return 0;
}
