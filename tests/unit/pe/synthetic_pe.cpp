#include "tests/unit/pe/synthetic_pe.h"

#include <algorithm>

namespace ks::test {

namespace {

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::size_t kSectionFileOffset = 0x200;
constexpr std::size_t kPeHeader = 0x40;

// One directory with one entry: name, then target.
void putDirectory(SyntheticPe& pe, std::uint32_t at, std::uint32_t name, std::uint32_t target) {
  const std::size_t base = pe.resourceSection + at;
  pe.put16(base + 14, 1);  // one entry named by a number
  pe.put32(base + 16, name);
  pe.put32(base + 20, target);
}

}  // namespace

void SyntheticPe::put16(std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void SyntheticPe::put32(std::size_t at, std::uint32_t value) {
  put16(at, static_cast<std::uint16_t>(value));
  put16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

SyntheticPe makeSyntheticPe(bool is64Bit, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
  SyntheticPe pe;
  pe.typeDirectory = 0;
  pe.nameDirectory = 0x18;
  pe.languageDirectory = 0x30;
  pe.dataEntry = 0x48;
  pe.data = 0x58;
  const std::uint32_t sectionSize = pe.data + static_cast<std::uint32_t>(data.size());
  pe.bytes.assign(kSectionFileOffset + sectionSize, 0);
  pe.resourceSection = kSectionFileOffset;

  pe.bytes[0] = 'M';
  pe.bytes[1] = 'Z';
  pe.put32(pe.peOffsetField, kPeHeader);
  pe.bytes[kPeHeader] = 'P';
  pe.bytes[kPeHeader + 1] = 'E';
  pe.put16(kPeHeader + 4, is64Bit ? 0x8664 : 0x14C);
  pe.sectionCountField = kPeHeader + 6;
  pe.put16(pe.sectionCountField, 1);
  pe.optionalSizeField = kPeHeader + 20;
  const std::uint16_t optionalSize = is64Bit ? 240 : 224;
  pe.put16(pe.optionalSizeField, optionalSize);

  const std::size_t optional = kPeHeader + 24;
  pe.put16(optional, is64Bit ? 0x20B : 0x10B);
  pe.directoryCountField = optional + (is64Bit ? 108 : 92);
  pe.put32(pe.directoryCountField, 16);
  pe.resourceDirectoryField = pe.directoryCountField + 4 + 2 * 8;
  pe.put32(pe.resourceDirectoryField, kSectionRva);
  pe.put32(pe.resourceDirectoryField + 4, sectionSize);

  pe.sectionHeader = optional + optionalSize;
  pe.bytes[pe.sectionHeader] = '.';
  pe.put32(pe.sectionHeader + 8, sectionSize);
  pe.put32(pe.sectionHeader + 12, kSectionRva);
  pe.put32(pe.sectionHeader + 16, sectionSize);
  pe.put32(pe.sectionHeader + 20, kSectionFileOffset);

  putDirectory(pe, pe.typeDirectory, type, 0x80000000u | pe.nameDirectory);
  putDirectory(pe, pe.nameDirectory, 1, 0x80000000u | pe.languageDirectory);
  putDirectory(pe, pe.languageDirectory, 0x409, pe.dataEntry);
  pe.put32(pe.resourceSection + pe.dataEntry, kSectionRva + pe.data);
  pe.put32(pe.resourceSection + pe.dataEntry + 4, static_cast<std::uint32_t>(data.size()));
  std::copy(data.begin(), data.end(), pe.bytes.begin() + pe.resourceSection + pe.data);
  return pe;
}

}  // namespace ks::test
