#include "platform/pe/icon_image.h"

#include <algorithm>
#include <cstring>

#include "platform/pe/little_endian.h"
#include "platform/pe/pe_icons.h"

namespace ks::pe {

namespace {

// A bitmap image: a BITMAPINFOHEADER (at least 40 bytes), the palette for up
// to 8 bits per pixel (4 bytes per colour, blue green red unused), the colour
// rows and then the 1-bit mask rows (a set bit is transparent). Rows run
// bottom up, each padded to 4 bytes; the header's height counts both parts.
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

struct Span {
  const std::uint8_t* data;
  std::size_t size;
};

// The entry with the most pixels (the first of equals) whose image lies
// within the file.
bool largestImage(const std::vector<std::uint8_t>& file, Span& image) {
  if (file.size() < kIconHeaderBytes || le16(file.data(), 0) != 0 ||
      le16(file.data(), 2) != kIconType) {
    return false;
  }
  const std::size_t count = le16(file.data(), 4);
  std::uint32_t best = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kIconHeaderBytes + i * kIconFileEntryBytes;
    if (at + kIconFileEntryBytes > file.size()) break;
    const std::uint8_t* entry = file.data() + at;
    const std::uint32_t side =
        (entry[0] == 0 ? 256u : entry[0]) * (entry[1] == 0 ? 256u : entry[1]);
    const std::uint32_t size = le32(entry, 8);
    const std::uint32_t offset = le32(entry, 12);
    if (offset > file.size() || size > file.size() - offset || size == 0 || side <= best) continue;
    best = side;
    image = {file.data() + offset, size};
  }
  return best != 0;
}

bool readPng(Span data, IconImage& image) {
  // The signature, then the IHDR chunk: length 13, type, width, height.
  if (data.size < 24 || std::memcmp(data.data + 12, "IHDR", 4) != 0) return false;
  image.width = be32(data.data + 16);
  image.height = be32(data.data + 20);
  if (image.width == 0 || image.height == 0 || image.width > kMaxIconSide ||
      image.height > kMaxIconSide) {
    return false;
  }
  image.png.assign(data.data, data.data + data.size);
  return true;
}

struct Bitmap {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bits = 0;
  const std::uint8_t* palette = nullptr;
  std::uint32_t colours = 0;
  const std::uint8_t* pixels = nullptr;
  std::size_t pixelStride = 0;
  const std::uint8_t* mask = nullptr;  // nullptr: a 32-bit image without one
  std::size_t maskStride = 0;
};

std::size_t rowBytes(std::uint32_t width, std::uint32_t bits) {
  return (std::size_t{width} * bits + 31) / 32 * 4;
}

bool readBitmapLayout(Span data, Bitmap& bitmap) {
  if (data.size < kInfoHeaderBytes) return false;
  const std::uint32_t headerBytes = le32(data.data, 0);
  const auto width = static_cast<std::int32_t>(le32(data.data, 4));
  const auto doubleHeight = static_cast<std::int32_t>(le32(data.data, 8));
  bitmap.bits = le16(data.data, 14);
  if (headerBytes < kInfoHeaderBytes || headerBytes > data.size || width <= 0 ||
      static_cast<std::uint32_t>(width) > kMaxIconSide || doubleHeight <= 0 ||
      doubleHeight % 2 != 0 || static_cast<std::uint32_t>(doubleHeight) / 2 > kMaxIconSide ||
      le32(data.data, 16) != kUncompressed) {
    return false;
  }
  bitmap.width = static_cast<std::uint32_t>(width);
  bitmap.height = static_cast<std::uint32_t>(doubleHeight) / 2;
  const std::uint32_t bits = bitmap.bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  std::size_t at = headerBytes;
  if (bits <= 8) {
    const std::uint32_t used = le32(data.data, 32);
    bitmap.colours = used == 0 || used > (1u << bits) ? (1u << bits) : used;
    if (data.size - at < std::size_t{bitmap.colours} * 4) return false;
    bitmap.palette = data.data + at;
    at += std::size_t{bitmap.colours} * 4;
  }
  bitmap.pixelStride = rowBytes(bitmap.width, bits);
  if ((data.size - at) / bitmap.height < bitmap.pixelStride) return false;
  bitmap.pixels = data.data + at;
  at += bitmap.pixelStride * bitmap.height;
  bitmap.maskStride = rowBytes(bitmap.width, 1);
  if ((data.size - at) / bitmap.height >= bitmap.maskStride) {
    bitmap.mask = data.data + at;
  } else if (bits != 32) {
    return false;
  }
  return true;
}

// The colour of pixel x in a row, as R G B A with A 255.
void colourOf(const Bitmap& bitmap, const std::uint8_t* row, std::uint32_t x, std::uint8_t* out) {
  const std::uint8_t* bgr = nullptr;
  if (bitmap.bits <= 8) {
    const std::size_t bit = std::size_t{x} * bitmap.bits;
    const std::uint32_t shift = 8 - bitmap.bits - bit % 8;
    const std::uint32_t index = (row[bit / 8] >> shift) & ((1u << bitmap.bits) - 1);
    static const std::uint8_t kBlack[4] = {0, 0, 0, 0};
    bgr = index < bitmap.colours ? bitmap.palette + std::size_t{index} * 4 : kBlack;
  } else {
    bgr = row + std::size_t{x} * (bitmap.bits / 8);
  }
  out[0] = bgr[2];
  out[1] = bgr[1];
  out[2] = bgr[0];
  out[3] = bitmap.bits == 32 ? bgr[3] : 255;
}

void readBitmapPixels(const Bitmap& bitmap, IconImage& image) {
  image.width = bitmap.width;
  image.height = bitmap.height;
  image.rgba.assign(std::size_t{bitmap.width} * bitmap.height * 4, 0);
  bool anyAlpha = false;
  for (std::uint32_t y = 0; y < bitmap.height; ++y) {
    const std::uint8_t* row = bitmap.pixels + bitmap.pixelStride * (bitmap.height - 1 - y);
    std::uint8_t* out = image.rgba.data() + std::size_t{y} * bitmap.width * 4;
    for (std::uint32_t x = 0; x < bitmap.width; ++x) {
      colourOf(bitmap, row, x, out + std::size_t{x} * 4);
      anyAlpha = anyAlpha || out[std::size_t{x} * 4 + 3] != 0;
    }
  }
  // A 32-bit image whose alpha is all zero is an old one: its mask decides.
  const bool maskDecides = bitmap.bits != 32 || !anyAlpha;
  for (std::uint32_t y = 0; y < bitmap.height; ++y) {
    const std::uint8_t* mask =
        bitmap.mask ? bitmap.mask + bitmap.maskStride * (bitmap.height - 1 - y) : nullptr;
    std::uint8_t* out = image.rgba.data() + std::size_t{y} * bitmap.width * 4;
    for (std::uint32_t x = 0; x < bitmap.width && maskDecides; ++x) {
      const bool transparent = mask && ((mask[x / 8] >> (7 - x % 8)) & 1) != 0;
      out[std::size_t{x} * 4 + 3] = transparent ? 0 : 255;
    }
  }
}

}  // namespace

bool decodeIconFile(const std::vector<std::uint8_t>& iconFile, IconImage& image) {
  image = IconImage{};
  Span data{};
  if (!largestImage(iconFile, data)) return false;
  if (data.size >= sizeof kPngSignature &&
      std::memcmp(data.data, kPngSignature, sizeof kPngSignature) == 0) {
    return readPng(data, image);
  }
  Bitmap bitmap;
  if (!readBitmapLayout(data, bitmap)) return false;
  readBitmapPixels(bitmap, image);
  return true;
}

}  // namespace ks::pe
