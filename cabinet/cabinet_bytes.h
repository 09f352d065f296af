#pragma once
// Little-endian fields of the on-disk records.

#include <cstdint>

namespace ks::cab {

inline uint16_t readU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t readU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void writeU16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

// CFHEADER field offsets.
inline constexpr uint32_t kSignature = 0x4643534D;  // "MSCF"
inline constexpr uint16_t kVersion13 = 0x0103;
inline constexpr int kOffCabinetSize = 8;
inline constexpr int kOffFilesStart = 16;
inline constexpr int kOffVersion = 24;
inline constexpr int kOffFolderCount = 26;
inline constexpr int kOffFileCount = 28;
inline constexpr int kOffFlags = 30;
inline constexpr int kOffSetId = 32;
inline constexpr int kOffCabinetIndex = 34;

// CFFOLDER, CFFILE and CFDATA field offsets.
inline constexpr int kOffFolderDataStart = 0;
inline constexpr int kOffFolderBlockCount = 4;
inline constexpr int kOffFolderType = 6;
inline constexpr int kOffFileSize = 0;
inline constexpr int kOffFileOffset = 4;
inline constexpr int kOffFileFolder = 8;
inline constexpr int kOffFileDate = 10;
inline constexpr int kOffFileTime = 12;
inline constexpr int kOffFileAttributes = 14;
inline constexpr int kOffDataChecksum = 0;
inline constexpr int kOffDataCompressed = 4;
inline constexpr int kOffDataUncompressed = 6;

}  // namespace ks::cab
