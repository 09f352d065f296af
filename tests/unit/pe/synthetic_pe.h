#pragma once
// A minimal PE file built byte by byte, with one resource section that holds
// one resource, and the offsets of the fields that tests spoil on purpose.

#include <cstdint>
#include <vector>

namespace ks::test {

struct SyntheticPe {
  std::vector<std::uint8_t> bytes;
  // File offsets of fields.
  std::size_t peOffsetField = 0x3C;
  std::size_t sectionCountField = 0;
  std::size_t optionalSizeField = 0;
  std::size_t directoryCountField = 0;
  std::size_t resourceDirectoryField = 0;  // rva, then size
  std::size_t sectionHeader = 0;
  std::size_t resourceSection = 0;  // the root directory of the tree
  // Offsets in the tree (add resourceSection for the file offset).
  std::uint32_t typeDirectory = 0;
  std::uint32_t nameDirectory = 0;
  std::uint32_t languageDirectory = 0;
  std::uint32_t dataEntry = 0;
  std::uint32_t data = 0;

  void put16(std::size_t at, std::uint16_t value);
  void put32(std::size_t at, std::uint32_t value);
};

// A PE32 (or PE32+) file whose one resource is of the given type, with the
// given data.
SyntheticPe makeSyntheticPe(bool is64Bit, std::uint32_t type,
                            const std::vector<std::uint8_t>& data);

}  // namespace ks::test
