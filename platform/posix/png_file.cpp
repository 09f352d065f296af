#include "platform/posix/png_file.h"

#include <zlib.h>

#include <string_view>

namespace ks {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgba = 6;
constexpr std::uint8_t kFilterNone = 0;

void putBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A chunk: its data length, type, data, and the CRC-32 of type and data.
void putChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
  putBe32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
  putBe32(out, static_cast<std::uint32_t>(crc));
}

// Each row goes with a filter byte before it (none) into one zlib stream.
bool compressRows(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba,
                  std::vector<std::uint8_t>& compressed) {
  const std::size_t rowBytes = std::size_t{width} * 4;
  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    raw.push_back(kFilterNone);
    const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  compressed.resize(size);
  if (compress2(compressed.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    return false;
  }
  compressed.resize(size);
  return true;
}

}  // namespace

std::vector<std::uint8_t> encodePng(std::uint32_t width, std::uint32_t height,
                                    const std::vector<std::uint8_t>& rgba) {
  if (width == 0 || height == 0 || width > pe::kMaxIconSide || height > pe::kMaxIconSide ||
      rgba.size() != std::size_t{width} * height * 4) {
    return {};
  }
  std::vector<std::uint8_t> compressed;
  if (!compressRows(width, height, rgba, compressed)) return {};
  std::vector<std::uint8_t> header;
  putBe32(header, width);
  putBe32(header, height);
  header.insert(header.end(),
                {kBitDepth, kColourTypeRgba, 0, 0, 0});  // deflate, filter, no interlace
  std::vector<std::uint8_t> png(std::begin(kSignature), std::end(kSignature));
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", compressed);
  putChunk(png, "IEND", {});
  return png;
}

bool iconFileToPng(const std::vector<std::uint8_t>& iconFile, std::vector<std::uint8_t>& png,
                   std::uint32_t& width, std::uint32_t& height) {
  pe::IconImage image;
  if (!pe::decodeIconFile(iconFile, image)) return false;
  png = image.png.empty() ? encodePng(image.width, image.height, image.rgba) : std::move(image.png);
  width = image.width;
  height = image.height;
  return !png.empty();
}

}  // namespace ks
