#pragma once
// Icons as the freedesktop icon themes keep them: PNG files.

#include <cstdint>
#include <vector>

#include "platform/pe/icon_image.h"

namespace ks {

// A PNG file of 8-bit RGBA pixels (width * height * 4 bytes, top row first);
// empty when the sizes and the pixels don't agree or compression fails.
std::vector<std::uint8_t> encodePng(std::uint32_t width, std::uint32_t height,
                                    const std::vector<std::uint8_t>& rgba);

// The picture of an icon file as PNG: the stored PNG image as it is, or the
// bitmap encoded; false when the icon file can't be read.
bool iconFileToPng(const std::vector<std::uint8_t>& iconFile, std::vector<std::uint8_t>& png,
                   std::uint32_t& width, std::uint32_t& height);

}  // namespace ks
