#include "tools/cab_listing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cabinet/cabinet_bytes.h"

namespace ks::tool {

namespace {

using namespace ks::cab;

constexpr std::size_t kHeaderBytes = 36;
constexpr std::size_t kFileBytes = 16;
constexpr std::size_t kMaxNameBytes = 256;  // 255 characters and the NUL
constexpr uint16_t kFlagPrevious = 0x0001;
constexpr uint16_t kFlagNext = 0x0002;
constexpr uint16_t kFlagReserve = 0x0004;
constexpr uint16_t kFirstContinued = 0xFFFD;

// A read position that never leaves the buffer.
class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool seek(std::size_t at) {
    if (at > bytes_.size()) return false;
    at_ = at;
    return true;
  }
  bool skip(std::size_t count) { return seek(at_ + count); }
  const uint8_t* take(std::size_t count) {
    if (count > bytes_.size() - at_) return nullptr;
    const uint8_t* start = bytes_.data() + at_;
    at_ += count;
    return start;
  }
  bool name(std::string& out) {
    const std::size_t room = std::min(kMaxNameBytes, bytes_.size() - at_);
    const void* nul = std::memchr(bytes_.data() + at_, 0, room);
    if (nul == nullptr) return false;
    const auto length =
        static_cast<std::size_t>(static_cast<const uint8_t*>(nul) - (bytes_.data() + at_));
    out.assign(reinterpret_cast<const char*>(bytes_.data() + at_), length);
    at_ += length + 1;
    return true;
  }
  std::size_t position() const { return at_; }

 private:
  const std::vector<uint8_t>& bytes_;
  std::size_t at_ = 0;
};

bool fail(std::string& error, const char* reason) {
  error = reason;
  return false;
}

struct Layout {
  uint16_t folderCount = 0;
  uint16_t fileCount = 0;
  std::size_t folderBytes = 8;
  uint32_t filesStart = 0;
};

bool readHeader(Cursor& cursor, Layout& layout, std::string& error) {
  const uint8_t* header = cursor.take(kHeaderBytes);
  if (header == nullptr || readU32(header) != kSignature) return fail(error, "not a cabinet");
  if (readU16(header + kOffVersion) != kVersion13) return fail(error, "unsupported version");
  layout.folderCount = readU16(header + kOffFolderCount);
  layout.fileCount = readU16(header + kOffFileCount);
  layout.filesStart = readU32(header + kOffFilesStart);
  const uint16_t flags = readU16(header + kOffFlags);
  if ((flags & kFlagReserve) != 0) {
    const uint8_t* reserve = cursor.take(4);
    if (reserve == nullptr || !cursor.skip(readU16(reserve)))
      return fail(error, "truncated header");
    layout.folderBytes += reserve[2];
  }
  std::string ignored;
  for (int i = 0; i < ((flags & kFlagPrevious) != 0 ? 2 : 0) + ((flags & kFlagNext) != 0 ? 2 : 0);
       ++i) {
    if (!cursor.name(ignored)) return fail(error, "bad cabinet name");
  }
  return true;
}

bool readFolderTypes(Cursor& cursor, const Layout& layout, std::vector<uint16_t>& types,
                     std::string& error) {
  for (uint16_t i = 0; i < layout.folderCount; ++i) {
    const uint8_t* folder = cursor.take(layout.folderBytes);
    if (folder == nullptr) return fail(error, "truncated folder table");
    types.push_back(readU16(folder + kOffFolderType));
  }
  return true;
}

bool readEntry(Cursor& cursor, const std::vector<uint16_t>& types, CabinetListingEntry& entry,
               std::string& error) {
  const uint8_t* fixed = cursor.take(kFileBytes);
  if (fixed == nullptr || !cursor.name(entry.name)) return fail(error, "truncated file entry");
  entry.size = readU32(fixed + kOffFileSize);
  entry.folder = readU16(fixed + kOffFileFolder);
  entry.date = readU16(fixed + kOffFileDate);
  entry.time = readU16(fixed + kOffFileTime);
  entry.attributes = readU16(fixed + kOffFileAttributes);
  // Continued entries belong to the first (0xFFFD) or last folder of the cabinet.
  std::size_t folder = entry.folder;
  if (entry.folder == kFirstContinued)
    folder = 0;
  else if (entry.folder > kFirstContinued)
    folder = types.empty() ? 0 : types.size() - 1;
  entry.hasCompression = folder < types.size();
  if (entry.hasCompression) entry.compression = types[folder];
  return true;
}

std::string compressionName(const CabinetListingEntry& entry) {
  if (!entry.hasCompression) return "?";
  char text[24];
  switch (entry.compression & 0x000F) {
    case 0:
      return "none";
    case 1:
      return "MSZIP";
    case 2:
      std::snprintf(text, sizeof text, "Quantum/%d", (entry.compression >> 8) & 0x1F);
      return text;
    case 3:
      return "LZX";
    default:
      std::snprintf(text, sizeof text, "0x%04X", entry.compression);
      return text;
  }
}

std::string folderName(uint16_t folder) {
  switch (folder) {
    case 0xFFFD:
      return "prev";
    case 0xFFFE:
      return "next";
    case 0xFFFF:
      return "both";
    default:
      return std::to_string(folder);
  }
}

}  // namespace

bool readCabinetListing(const std::vector<uint8_t>& cabinet,
                        std::vector<CabinetListingEntry>& entries, std::string& error) {
  Cursor cursor(cabinet);
  Layout layout;
  std::vector<uint16_t> types;
  if (!readHeader(cursor, layout, error) || !readFolderTypes(cursor, layout, types, error))
    return false;
  if (!cursor.seek(layout.filesStart)) return fail(error, "file list outside the cabinet");
  entries.clear();
  for (uint16_t i = 0; i < layout.fileCount; ++i) {
    CabinetListingEntry entry;
    if (!readEntry(cursor, types, entry, error)) return false;
    entries.push_back(std::move(entry));
  }
  return true;
}

std::string formatListingEntry(const CabinetListingEntry& entry) {
  char line[512];
  std::snprintf(
      line, sizeof line, "%10u %04d-%02d-%02d %02d:%02d:%02d %c%c%c%c%c %4s %-10s %s", entry.size,
      1980 + (entry.date >> 9), (entry.date >> 5) & 0x0F, entry.date & 0x1F, entry.time >> 11,
      (entry.time >> 5) & 0x3F, (entry.time & 0x1F) * 2, (entry.attributes & 0x01) != 0 ? 'r' : '-',
      (entry.attributes & 0x02) != 0 ? 'h' : '-', (entry.attributes & 0x04) != 0 ? 's' : '-',
      (entry.attributes & 0x20) != 0 ? 'a' : '-', (entry.attributes & 0x40) != 0 ? 'x' : '-',
      folderName(entry.folder).c_str(), compressionName(entry).c_str(), entry.name.c_str());
  return line;
}

}  // namespace ks::tool
