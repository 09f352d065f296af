#pragma once
// The picture of an icon file (.ico), as a program's icon resource gives it
// (pe_icons.h): its largest image, either a PNG image stored whole or a
// device-independent bitmap with its transparency mask, made into 8-bit
// RGBA pixels.

#include <cstdint>
#include <vector>

namespace ks::pe {

// Icons are at most 256 pixels wide and high.
inline constexpr std::uint32_t kMaxIconSide = 256;

struct IconImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // An image the icon file holds as PNG: its bytes, unchanged.
  std::vector<std::uint8_t> png;
  // Otherwise: width * height pixels, top row first, R G B A each.
  std::vector<std::uint8_t> rgba;
};

// False when the bytes are no icon file, or its image is of a kind an icon
// can't have (compressed bitmaps, 16-bit colours, sides beyond 256).
bool decodeIconFile(const std::vector<std::uint8_t>& iconFile, IconImage& image);

}  // namespace ks::pe
