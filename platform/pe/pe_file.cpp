#include "platform/pe/pe_file.h"

#include <algorithm>
#include <array>

#include "platform/pe/little_endian.h"

namespace ks::pe {

namespace {

// The DOS header begins with "MZ" and holds the offset of the PE signature
// ("PE\0\0") at 0x3C. The 20-byte COFF file header follows the signature, then
// the optional header whose size the COFF header gives, then the section table.
constexpr std::size_t kDosHeaderBytes = 64;
constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::size_t kSignatureAndCoffBytes = 24;
constexpr std::size_t kSectionCountField = 6;  // offsets from the signature
constexpr std::size_t kOptionalHeaderSizeField = 20;
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::size_t kDataDirectoryBytes = 8;
// The loader looks at no more than 16 data directories, whatever the count says.
constexpr std::uint32_t kMaxDataDirectories = 16;

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
// Where the directory count sits in each optional header; the directories
// follow it at once.
constexpr std::size_t kDirectoryCountPe32 = 92;
constexpr std::size_t kDirectoryCountPe32Plus = 108;

bool readPeHeaderOffset(ByteSource& source, std::uint64_t& peOffset) {
  std::array<std::uint8_t, kDosHeaderBytes> dos{};
  if (!source.readAt(0, dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
  peOffset = le32(dos.data(), kPeOffsetField);
  return true;
}

bool readDataDirectories(const std::vector<std::uint8_t>& optional, PeImage& image) {
  if (optional.size() < 2) return false;
  const std::uint16_t magic = le16(optional.data(), 0);
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) return false;
  image.is64Bit = magic == kMagicPe32Plus;
  const std::size_t countAt = image.is64Bit ? kDirectoryCountPe32Plus : kDirectoryCountPe32;
  if (optional.size() < countAt + 4) return false;
  const std::uint32_t declared = le32(optional.data(), countAt);
  const std::size_t room = (optional.size() - countAt - 4) / kDataDirectoryBytes;
  const std::size_t count = std::min<std::size_t>({declared, kMaxDataDirectories, room});
  image.directories.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = countAt + 4 + i * kDataDirectoryBytes;
    image.directories.push_back({le32(optional.data(), at), le32(optional.data(), at + 4)});
  }
  return true;
}

bool readSections(ByteSource& source, std::uint64_t tableOffset, std::uint32_t count,
                  PeImage& image) {
  if (count > kMaxSections) return false;
  std::vector<std::uint8_t> table(std::size_t{count} * kSectionHeaderBytes);
  if (!source.readAt(tableOffset, table)) return false;
  image.sections.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* header = table.data() + i * kSectionHeaderBytes;
    image.sections.push_back(
        {le32(header, 12), le32(header, 8), le32(header, 20), le32(header, 16)});
  }
  return true;
}

}  // namespace

bool parsePeImage(ByteSource& source, PeImage& image) {
  std::uint64_t peOffset = 0;
  if (!readPeHeaderOffset(source, peOffset)) return false;
  std::array<std::uint8_t, kSignatureAndCoffBytes> coff{};
  if (!source.readAt(peOffset, coff)) return false;
  if (coff[0] != 'P' || coff[1] != 'E' || coff[2] != 0 || coff[3] != 0) return false;
  const std::uint16_t sectionCount = le16(coff.data(), kSectionCountField);
  const std::uint16_t optionalSize = le16(coff.data(), kOptionalHeaderSizeField);
  // peOffset is at most 2^32 - 1, so these sums can't overflow 64 bits.
  const std::uint64_t optionalOffset = peOffset + kSignatureAndCoffBytes;
  std::vector<std::uint8_t> optional(optionalSize);
  if (!source.readAt(optionalOffset, optional)) return false;
  if (!readDataDirectories(optional, image)) return false;
  return readSections(source, optionalOffset + optionalSize, sectionCount, image);
}

bool rvaToFileOffset(const PeImage& image, std::uint32_t rva, std::uint32_t length,
                     std::uint64_t& offset) {
  for (const Section& section : image.sections) {
    if (rva < section.virtualAddress) continue;
    // Bytes past the raw data are zeros in memory that the file doesn't hold;
    // a virtual size of 0 (old linkers) means the raw size.
    const std::uint32_t span =
        section.virtualSize == 0 ? section.rawSize : std::min(section.virtualSize, section.rawSize);
    const std::uint32_t into = rva - section.virtualAddress;
    if (into >= span || length > span - into) continue;
    offset = std::uint64_t{section.rawOffset} + into;
    return true;
  }
  return false;
}

}  // namespace ks::pe
