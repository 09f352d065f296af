#include "ui/win32/icon_file.h"

namespace ks {

namespace {

// ICONDIR: reserved, type 1, count; then one 16-byte ICONDIRENTRY per image:
// width, height (0 meaning 256), colours, reserved, planes, bits per pixel,
// the image's size and its offset in the file.
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr int kIconFileType = 1;
// CreateIconFromResourceEx's format version for icons of Windows 3.0 on.
constexpr DWORD kIconFormatVersion = 0x00030000;

std::uint32_t readLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

struct Entry {
  int edge = 0;
  std::uint32_t size = 0;
  std::uint32_t offset = 0;
};

// Smallest at least edge, else the largest.
bool better(const Entry& candidate, const Entry& best, int edge) {
  if (best.size == 0) return true;
  const bool fits = candidate.edge >= edge;
  const bool bestFits = best.edge >= edge;
  if (fits != bestFits) return fits;
  return fits ? candidate.edge < best.edge : candidate.edge > best.edge;
}

}  // namespace

HICON iconFromIconFile(const std::vector<std::uint8_t>& file, int edge) {
  if (file.size() < kDirectorySize || readLittleEndian(file, 0, 2) != 0 ||
      readLittleEndian(file, 2, 2) != kIconFileType) {
    return nullptr;
  }
  const std::size_t count = readLittleEndian(file, 4, 2);
  if (file.size() < kDirectorySize + count * kEntrySize) return nullptr;
  Entry best;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kDirectorySize + i * kEntrySize;
    Entry entry{file[at] == 0 ? 256 : file[at], readLittleEndian(file, at + 8, 4),
                readLittleEndian(file, at + 12, 4)};
    if (entry.size == 0 || entry.offset > file.size() || entry.size > file.size() - entry.offset) {
      continue;
    }
    if (better(entry, best, edge)) best = entry;
  }
  if (best.size == 0) return nullptr;
  // The function takes the image bytes by a non-const pointer but only reads them.
  auto* image = const_cast<std::uint8_t*>(file.data() + best.offset);
  return CreateIconFromResourceEx(image, best.size, TRUE, kIconFormatVersion, edge, edge,
                                  LR_DEFAULTCOLOR);
}

}  // namespace ks
