#include "platform/pe/pe_icons.h"

#include "platform/pe/little_endian.h"
#include "platform/pe/pe_resources.h"

namespace ks::pe {

namespace {

// An icon group has the header of an icon file (pe_icons.h) and count
// entries of 14 bytes that end in the id of the icon resource that holds the
// image instead of its size and offset.
constexpr std::size_t kGroupHeaderBytes = kIconHeaderBytes;
constexpr std::size_t kGroupEntryBytes = 14;
constexpr std::size_t kFileEntryBytes = kIconFileEntryBytes;
constexpr std::uint32_t kMaxGroupBytes = kGroupHeaderBytes + 0xFFFF * kGroupEntryBytes;

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  put16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

bool readFirstIconFile(ByteSource& source, std::vector<std::uint8_t>& iconFile) {
  PeImage image;
  ResourceLocation groupLocation;
  std::vector<std::uint8_t> group;
  if (!parsePeImage(source, image) ||
      !findResource(source, image, kResourceGroupIcon, std::nullopt, groupLocation) ||
      !readResource(source, groupLocation, kMaxGroupBytes, group) ||
      group.size() < kGroupHeaderBytes + kGroupEntryBytes || le16(group.data(), 2) != kIconType ||
      le16(group.data(), 4) == 0) {
    return false;
  }
  const std::uint8_t* entry = group.data() + kGroupHeaderBytes;
  const std::uint16_t iconId = le16(entry, 12);
  ResourceLocation iconLocation;
  std::vector<std::uint8_t> picture;
  if (!findResource(source, image, kResourceIcon, iconId, iconLocation) || iconLocation.size == 0 ||
      !readResource(source, iconLocation, kMaxIconImageBytes, picture)) {
    return false;
  }
  iconFile.clear();
  put16(iconFile, 0);
  put16(iconFile, kIconType);
  put16(iconFile, 1);
  iconFile.insert(iconFile.end(), entry, entry + 8);  // sizes, colours, planes, bits
  put32(iconFile, static_cast<std::uint32_t>(picture.size()));
  put32(iconFile, static_cast<std::uint32_t>(kGroupHeaderBytes + kFileEntryBytes));
  iconFile.insert(iconFile.end(), picture.begin(), picture.end());
  return true;
}

}  // namespace ks::pe
