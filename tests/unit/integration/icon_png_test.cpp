// The application's icon for the Linux desktop: the icon file the PE reader
// gives, decoded (bitmap rows bottom up, palettes, masks, alpha, stored PNG
// images) and written as a PNG file that zlib reads back.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "platform/pe/icon_image.h"
#include "platform/posix/png_file.h"
#include "tests/unit/integration/icon_files.h"

namespace ks {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, std::uint32_t v) {
  test::putLittleEndian(out, v, 2);
}
void put32(Bytes& out, std::uint32_t v) {
  test::putLittleEndian(out, v, 4);
}
std::uint32_t be32(const Bytes& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

// A device-independent bitmap as an icon holds it: header, palette, colour
// rows and mask rows, both bottom up and padded by the caller.
Bytes bitmap(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::uint32_t colours,
             const Bytes& palette, const Bytes& rows, const Bytes& mask) {
  Bytes out;
  put32(out, 40);
  put32(out, width);
  put32(out, height * 2);
  put16(out, 1);
  put16(out, bits);
  for (int i = 0; i < 3; ++i) put32(out, 0);  // compression, image size, x resolution
  put32(out, 0);                              // y resolution
  put32(out, colours);
  put32(out, 0);
  out.insert(out.end(), palette.begin(), palette.end());
  out.insert(out.end(), rows.begin(), rows.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

// Two colours, red (0) and blue (1), in a 2x2 image of 4 bits per pixel;
// the mask makes the bottom right pixel transparent.
Bytes twoColourIcon() {
  const Bytes palette = {0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0};
  const Bytes rows = {0x01, 0, 0, 0, 0x10, 0, 0, 0};  // bottom row first
  const Bytes mask = {0x40, 0, 0, 0, 0x00, 0, 0, 0};
  return test::iconFile({{2, bitmap(2, 2, 4, 2, palette, rows, mask)}});
}

TEST(IconImage, PalettedRowsRunBottomUpAndTheMaskMakesPixelsTransparent) {
  pe::IconImage image;
  ASSERT_TRUE(pe::decodeIconFile(twoColourIcon(), image));
  EXPECT_EQ(image.width, 2u);
  EXPECT_EQ(image.height, 2u);
  EXPECT_TRUE(image.png.empty());
  EXPECT_EQ(image.rgba, (Bytes{0, 0, 255, 255, 255, 0, 0, 255,   // top: blue, red
                               255, 0, 0, 255, 0, 0, 255, 0}));  // bottom: red, clear blue
}

TEST(IconImage, ThirtyTwoBitImagesKeepTheirAlphaUnlessItIsAllZero) {
  const Bytes rows = {1, 2, 3, 0x80, 4, 5, 6, 0xFF};  // 1x2, bottom row first
  const Bytes mask = {0x80, 0, 0, 0, 0x00, 0, 0, 0};
  pe::IconImage image;
  ASSERT_TRUE(
      pe::decodeIconFile(test::iconFile({{1, bitmap(1, 2, 32, 0, {}, rows, mask)}}), image));
  EXPECT_EQ(image.rgba, (Bytes{6, 5, 4, 0xFF, 3, 2, 1, 0x80}));

  const Bytes opaqueRows = {1, 2, 3, 0, 4, 5, 6, 0};
  ASSERT_TRUE(
      pe::decodeIconFile(test::iconFile({{1, bitmap(1, 2, 32, 0, {}, opaqueRows, mask)}}), image));
  EXPECT_EQ(image.rgba, (Bytes{6, 5, 4, 255, 3, 2, 1, 0}));  // the mask decides
}

TEST(IconImage, TheLargestImageIsTakenAndAStoredPngStaysAsItIs) {
  const Bytes png = encodePng(48, 48, Bytes(48 * 48 * 4, 0x7F));
  ASSERT_FALSE(png.empty());
  const Bytes small = twoColourIcon();
  const Bytes file = test::iconFile({{2, Bytes(small.begin() + 22, small.end())}, {48, png}});
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  Bytes out;
  ASSERT_TRUE(iconFileToPng(file, out, width, height));
  EXPECT_EQ(out, png);
  EXPECT_EQ(width, 48u);
  EXPECT_EQ(height, 48u);
}

TEST(IconImage, BrokenIconFilesAreRefused) {
  const Bytes good = twoColourIcon();
  pe::IconImage image;
  // Cut anywhere before the mask ends: never read past the end.
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_FALSE(pe::decodeIconFile(Bytes(good.begin(), good.begin() + size), image)) << size;
  }
  const auto spoiled = [&](std::size_t at, std::uint8_t value) {
    Bytes bad = good;
    bad[22 + at] = value;
    return pe::decodeIconFile(bad, image);
  };
  EXPECT_FALSE(spoiled(8, 3));    // an odd height (colour and mask rows don't pair)
  EXPECT_FALSE(spoiled(4, 0));    // no width
  EXPECT_FALSE(spoiled(14, 16));  // 16 bits per pixel
  EXPECT_FALSE(spoiled(16, 1));   // compressed
  EXPECT_FALSE(spoiled(5, 1));    // 258 pixels wide
}

TEST(PngFile, ChunksAreIntactAndTheRowsInflateToThePixels) {
  Bytes rgba;
  for (int i = 0; i < 3 * 2 * 4; ++i) rgba.push_back(static_cast<std::uint8_t>(i * 7));
  const Bytes png = encodePng(3, 2, rgba);
  ASSERT_GE(png.size(), 8u + 25 + 12 + 12);
  EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
            (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  std::vector<std::string> types;
  Bytes idat;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = be32(png, at);
    ASSERT_LE(at + 12 + length, png.size());
    const std::string type(png.begin() + at + 4, png.begin() + at + 8);
    types.push_back(type);
    const uLong crc = crc32(0, png.data() + at + 4, length + 4);
    EXPECT_EQ(be32(png, at + 8 + length), crc) << type;
    if (type == "IHDR") {
      EXPECT_EQ(be32(png, at + 8), 3u);
      EXPECT_EQ(be32(png, at + 12), 2u);
      EXPECT_EQ(png[at + 16], 8);  // bits per sample
      EXPECT_EQ(png[at + 17], 6);  // RGBA
    }
    if (type == "IDAT")
      idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at += 12 + length;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  Bytes raw(2 * (1 + 12));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), idat.size()), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(raw[y * 13], 0);  // no filter
    EXPECT_EQ(Bytes(raw.begin() + y * 13 + 1, raw.begin() + y * 13 + 13),
              Bytes(rgba.begin() + y * 12, rgba.begin() + y * 12 + 12));
  }
  EXPECT_TRUE(encodePng(3, 2, Bytes(5)).empty());  // pixels that don't fit the sizes
}

}  // namespace
}  // namespace ks
