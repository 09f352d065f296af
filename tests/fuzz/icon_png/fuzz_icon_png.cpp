// Any bytes are read as the icon file of a program and made into the PNG
// file the Linux desktop shows: a decoded bitmap has exactly its pixels, and
// the PNG written for it starts with the signature.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/pe/icon_image.h"
#include "platform/posix/png_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> iconFile(data, data + size);
  ks::pe::IconImage image;
  if (!ks::pe::decodeIconFile(iconFile, image)) return 0;
  if (image.width == 0 || image.height == 0 || image.width > ks::pe::kMaxIconSide ||
      image.height > ks::pe::kMaxIconSide) {
    __builtin_trap();
  }
  if (!image.png.empty()) {
    if (image.png.size() > size) __builtin_trap();
    return 0;
  }
  if (image.rgba.size() != std::size_t{image.width} * image.height * 4) __builtin_trap();
  const std::vector<std::uint8_t> png = ks::encodePng(image.width, image.height, image.rgba);
  if (png.size() < 8 || std::memcmp(png.data(), "\x89PNG", 4) != 0) __builtin_trap();
  return 0;
}
