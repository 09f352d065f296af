#include "platform/pe/pe_resources.h"

#include <array>
#include <limits>

#include "platform/pe/little_endian.h"

namespace ks::pe {

namespace {

// A resource directory is a 16-byte header whose last two words count the
// entries named by strings and by numbers; the entries follow it, 8 bytes
// each: a name (high bit set: offset of a string) and a target (high bit
// set: offset of a directory one level down; clear: offset of a 16-byte data
// entry). Offsets count from the start of the tree. The tree has exactly three
// levels, and the walk below descends exactly three times, so a directory
// that points back at itself can't make it loop.
constexpr std::size_t kDirectoryHeaderBytes = 16;
constexpr std::size_t kEntryBytes = 8;
constexpr std::size_t kDataEntryBytes = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;

class ResourceTree {
 public:
  ResourceTree(ByteSource& source, const PeImage& image, std::uint32_t rootRva)
      : source_(source), image_(image), rootRva_(rootRva) {}

  // Reads bytes at an offset from the start of the tree.
  bool read(std::uint32_t offset, std::span<std::uint8_t> out) const {
    const std::uint64_t rva = std::uint64_t{rootRva_} + offset;
    if (rva > std::numeric_limits<std::uint32_t>::max()) return false;
    std::uint64_t fileOffset = 0;
    return rvaToFileOffset(image_, static_cast<std::uint32_t>(rva),
                           static_cast<std::uint32_t>(out.size()), fileOffset) &&
           source_.readAt(fileOffset, out);
  }

  // The target of the first entry of the directory at offset that matches
  // name (any entry when name is empty).
  bool findEntry(std::uint32_t directory, std::optional<std::uint32_t> name,
                 std::uint32_t& target) const {
    std::array<std::uint8_t, kDirectoryHeaderBytes> header{};
    if (!read(directory, header)) return false;
    const std::uint32_t count = std::uint32_t{le16(header.data(), 12)} + le16(header.data(), 14);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint64_t at = std::uint64_t{directory} + kDirectoryHeaderBytes + i * kEntryBytes;
      std::array<std::uint8_t, kEntryBytes> entry{};
      if (at > std::numeric_limits<std::uint32_t>::max()) return false;
      if (!read(static_cast<std::uint32_t>(at), entry)) return false;
      const std::uint32_t entryName = le32(entry.data(), 0);
      if (!name || entryName == *name) {
        target = le32(entry.data(), 4);
        return true;
      }
    }
    return false;
  }

  // Steps one level down from a directory.
  bool descend(std::uint32_t& directory, std::optional<std::uint32_t> name) const {
    std::uint32_t target = 0;
    if (!findEntry(directory, name, target) || (target & kHighBit) == 0) return false;
    directory = target & ~kHighBit;
    return true;
  }

  bool dataEntry(std::uint32_t directory, ResourceLocation& location) const {
    std::uint32_t target = 0;
    if (!findEntry(directory, std::nullopt, target) || (target & kHighBit) != 0) return false;
    std::array<std::uint8_t, kDataEntryBytes> entry{};
    if (!read(target, entry)) return false;
    location.size = le32(entry.data(), 4);
    location.codePage = le32(entry.data(), 8);
    return rvaToFileOffset(image_, le32(entry.data(), 0), location.size, location.fileOffset);
  }

 private:
  ByteSource& source_;
  const PeImage& image_;
  std::uint32_t rootRva_;
};

}  // namespace

bool findResource(ByteSource& source, const PeImage& image, std::uint32_t type,
                  std::optional<std::uint32_t> name, ResourceLocation& location) {
  if (image.directories.size() <= kResourceDirectory) return false;
  const DataDirectory& resources = image.directories[kResourceDirectory];
  if (resources.rva == 0 || resources.size == 0) return false;
  // Numbers never have the high bit set: that marks a string name.
  if (type & kHighBit || (name && (*name & kHighBit))) return false;
  const ResourceTree tree(source, image, resources.rva);
  std::uint32_t directory = 0;
  return tree.descend(directory, type) && tree.descend(directory, name) &&
         tree.dataEntry(directory, location);
}

bool readResource(ByteSource& source, const ResourceLocation& location, std::uint32_t maxBytes,
                  std::vector<std::uint8_t>& data) {
  if (location.size > maxBytes) return false;
  std::vector<std::uint8_t> bytes(location.size);
  if (!source.readAt(location.fileOffset, bytes)) return false;
  data = std::move(bytes);
  return true;
}

bool readVersionResource(ByteSource& source, std::vector<std::uint8_t>& block) {
  PeImage image;
  ResourceLocation location;
  return parsePeImage(source, image) &&
         findResource(source, image, kResourceVersion, std::nullopt, location) &&
         location.size > 0 && readResource(source, location, kMaxVersionResourceBytes, block);
}

}  // namespace ks::pe
