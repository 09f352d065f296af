#include "tests/support/version_block_builder.h"

#include <cstdio>

namespace ks::test {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putText16(std::vector<std::uint8_t>& out, const std::string& text) {
  for (char c : text) put16(out, static_cast<unsigned char>(c));
  put16(out, 0);
}

void alignTo4(std::vector<std::uint8_t>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> serializeVersionNode(const VersionNode& node) {
  std::vector<std::uint8_t> out(6, 0);
  putText16(out, node.key);
  alignTo4(out);
  std::uint16_t valueLength = 0;
  if (node.text && !node.textValue.empty()) {
    putText16(out, node.textValue);
    valueLength = static_cast<std::uint16_t>(node.textValue.size() + 1);
  } else if (!node.text) {
    out.insert(out.end(), node.binaryValue.begin(), node.binaryValue.end());
    valueLength = static_cast<std::uint16_t>(node.binaryValue.size());
  }
  for (const VersionNode& child : node.children) {
    alignTo4(out);
    const auto bytes = serializeVersionNode(child);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  const auto length = static_cast<std::uint16_t>(out.size());
  out[0] = static_cast<std::uint8_t>(length & 0xFF);
  out[1] = static_cast<std::uint8_t>(length >> 8);
  out[2] = static_cast<std::uint8_t>(valueLength & 0xFF);
  out[3] = static_cast<std::uint8_t>(valueLength >> 8);
  out[4] = node.text ? 1 : 0;
  return out;
}

std::vector<std::uint8_t> makeVersionBlock(std::uint16_t language, std::uint16_t codePage,
                                           const char* fileVersion) {
  char tableName[16];
  std::snprintf(tableName, sizeof tableName, "%04x%04x", language, codePage);
  VersionNode table{tableName, true, "", {}, {}};
  if (fileVersion) table.children.push_back({"FileVersion", true, fileVersion, {}, {}});
  table.children.push_back({"ProductName", true, "Kestrova", {}, {}});
  VersionNode strings{"StringFileInfo", true, "", {}, {table}};
  VersionNode translation{
      "Translation",
      false,
      "",
      {static_cast<std::uint8_t>(language & 0xFF), static_cast<std::uint8_t>(language >> 8),
       static_cast<std::uint8_t>(codePage & 0xFF), static_cast<std::uint8_t>(codePage >> 8)},
      {}};
  VersionNode varInfo{"VarFileInfo", true, "", {}, {translation}};
  // The fixed file information: signature, structure version, then zeros.
  std::vector<std::uint8_t> fixed(52, 0);
  fixed[0] = 0xBD;
  fixed[1] = 0x04;
  fixed[2] = 0xEF;
  fixed[3] = 0xFE;
  fixed[6] = 0x01;
  VersionNode root{"VS_VERSION_INFO", false, "", fixed, {strings, varInfo}};
  return serializeVersionNode(root);
}

}  // namespace ks::test
