#pragma once
// Builds version-information blocks (VS_VERSIONINFO trees) for tests.

#include <cstdint>
#include <string>
#include <vector>

namespace ks::test {

struct VersionNode {
  std::string key;
  // Text nodes hold their value as UTF-16 with a terminating zero; binary
  // nodes hold raw bytes.
  bool text = false;
  std::string textValue;
  std::vector<std::uint8_t> binaryValue;
  std::vector<VersionNode> children;
};

std::vector<std::uint8_t> serializeVersionNode(const VersionNode& node);

// A complete block with one translation (language, code page) and, when
// fileVersion is not null, a "FileVersion" text in the string table of that
// translation.
std::vector<std::uint8_t> makeVersionBlock(std::uint16_t language, std::uint16_t codePage,
                                           const char* fileVersion);

}  // namespace ks::test
