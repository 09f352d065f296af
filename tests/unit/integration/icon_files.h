#pragma once
// Icon files (.ico) for tests, made of the images given.

#include <cstdint>
#include <vector>

namespace ks::test {

struct IconEntry {
  std::uint8_t side;  // width and height; 0 for 256
  std::vector<std::uint8_t> image;
};

inline void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::vector<std::uint8_t> iconFile(const std::vector<IconEntry>& entries) {
  std::vector<std::uint8_t> out;
  putLittleEndian(out, 0, 2);
  putLittleEndian(out, 1, 2);
  putLittleEndian(out, static_cast<std::uint32_t>(entries.size()), 2);
  auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const IconEntry& entry : entries) {
    out.insert(out.end(), {entry.side, entry.side, 0, 0});
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 32, 2);
    putLittleEndian(out, static_cast<std::uint32_t>(entry.image.size()), 4);
    putLittleEndian(out, offset, 4);
    offset += static_cast<std::uint32_t>(entry.image.size());
  }
  for (const IconEntry& entry : entries) {
    out.insert(out.end(), entry.image.begin(), entry.image.end());
  }
  return out;
}

}  // namespace ks::test
