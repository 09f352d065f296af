// Arbitrary bytes as a cabinet for "ksetup-tool cab list".

#include <cstdint>
#include <vector>

#include "tools/cab_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> cabinet(data, data + size);
  std::vector<ks::tool::CabinetListingEntry> entries;
  std::string error;
  if (ks::tool::readCabinetListing(cabinet, entries, error)) {
    for (const auto& entry : entries) ks::tool::formatListingEntry(entry);
  }
  return 0;
}
