#pragma once
// Little-endian fields of the PE format, read from byte arrays.

#include <cstddef>
#include <cstdint>

namespace ks::pe {

inline std::uint16_t le16(const std::uint8_t* bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline std::uint32_t le32(const std::uint8_t* bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

}  // namespace ks::pe
