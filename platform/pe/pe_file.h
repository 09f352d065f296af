#pragma once
// The headers of a Windows PE file (32-bit PE32 and 64-bit PE32+): enough to
// find the data directories and to turn their addresses into file offsets.
//
// Every offset, length and count comes from the file and is checked before it
// is used; a file that breaks the format, or is cut short, is refused.

#include <cstdint>
#include <vector>

#include "platform/pe/byte_source.h"

namespace ks::pe {

// Data directory indexes of the optional header.
inline constexpr std::uint32_t kResourceDirectory = 2;

// Real programs have a handful of sections; the count field allows 65535.
// Refusing more than this bounds what a hostile header makes us read.
inline constexpr std::uint32_t kMaxSections = 1024;

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawOffset = 0;
  std::uint32_t rawSize = 0;
};

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct PeImage {
  bool is64Bit = false;
  std::vector<DataDirectory> directories;
  std::vector<Section> sections;
};

// Reads the DOS header, the PE signature, the COFF and optional headers and
// the section table.
bool parsePeImage(ByteSource& source, PeImage& image);

// The file offset of the length bytes at rva: they must lie wholly inside
// the raw data of one section.
bool rvaToFileOffset(const PeImage& image, std::uint32_t rva, std::uint32_t length,
                     std::uint64_t& offset);

}  // namespace ks::pe
