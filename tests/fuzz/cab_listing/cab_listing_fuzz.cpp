// Arbitrary bytes as a cabinet for "ksetup-tool cab list", and its stored
// names as the extraction checks them.

#include <cstdint>
#include <vector>

#include "app/paths.h"
#include "app/printable_text.h"
#include "install/stored_names.h"
#include "tools/cab_listing.h"

namespace {

// A name taken as safe becomes a path that stays below the destination.
void checkStoredName(const std::string& name) {
  if (!ks::isSafeStoredName(name)) return;
  const std::string path = ks::storedNameToPath(name);
  if (!path.empty() && path.front() == ks::kPathSeparator) __builtin_trap();
  if (path == ".." || path.rfind("../", 0) == 0 || path.find("/../") != std::string::npos ||
      (path.size() >= 3 && path.compare(path.size() - 3, 3, "/..") == 0))
    __builtin_trap();
  if (ks::printableText(name) != name) __builtin_trap();
  if (ks::isPlainCabinetName(name) && path != name) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> cabinet(data, data + size);
  std::vector<ks::tool::CabinetListingEntry> entries;
  std::string error;
  if (ks::tool::readCabinetListing(cabinet, entries, error)) {
    for (const auto& entry : entries) {
      ks::tool::formatListingEntry(entry);
      checkStoredName(entry.name);
    }
  }
  return 0;
}
