#pragma once
// The file list of a cabinet as "ksetup-tool cab list" shows it: every
// CFFILE entry with its folder's compression type. Reads a whole cabinet held
// in memory; every field is bounds-checked.

#include <cstdint>
#include <string>
#include <vector>

namespace ks::tool {

struct CabinetListingEntry {
  uint32_t size = 0;
  uint16_t folder = 0;  // iFolder as stored (0xFFFD-0xFFFF: continued)
  uint16_t date = 0;
  uint16_t time = 0;
  uint16_t attributes = 0;
  bool hasCompression = false;  // false when the entry names no folder of this cabinet
  uint16_t compression = 0;     // typeCompress of the entry's folder
  std::string name;
};

// False with a reason when the bytes are not a readable cabinet.
bool readCabinetListing(const std::vector<uint8_t>& cabinet,
                        std::vector<CabinetListingEntry>& entries, std::string& error);

// One line of the listing: size, date, time, attributes, folder, compression, name.
std::string formatListingEntry(const CabinetListingEntry& entry);

}  // namespace ks::tool
