// Folder data ranges: every folder's data blocks lie in a range of the
// cabinet that no other folder's blocks share. Cabinets whose folders point
// at the same blocks would expand a small file many times over; they are
// corrupt. The ranges are not stored: a folder's blocks begin at its
// coffCabStart and must end before the next folder (by position) begins.

#include <algorithm>
#include <cstring>

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

constexpr uint32_t kMaxFolderEntryBytes = kFolderFixedBytes + 255;  // cbCFFolder is a u8

// Room for the starts of count folders, kept between cabinets.
bool reserveStarts(CabinetDecoder& c, uint32_t count) {
  if (count <= c.folderStartCapacity) return true;
  if (c.folderStarts != nullptr) c.free(c.folderStarts);
  c.folderStartCapacity = 0;
  c.folderStarts = static_cast<uint32_t*>(c.alloc(count * static_cast<uint32_t>(sizeof(uint32_t))));
  if (c.folderStarts == nullptr) return fail(c, CAB_ERROR_OUT_OF_MEMORY);
  c.folderStartCapacity = count;
  return true;
}

}  // namespace

// Reads the folder table from the file-list handle, which stands at folder
// entry 0; folders without blocks in this cabinet take up no range.
bool readFolderStarts(CabinetDecoder& c) {
  const uint16_t count = readU16(c.header + kOffFolderCount);
  c.folderStartCount = 0;
  if (!reserveStarts(c, count)) return false;
  const auto entryBytes = static_cast<uint32_t>(c.folderEntrySize);
  uint8_t entry[kMaxFolderEntryBytes];
  for (uint16_t i = 0; i < count; ++i) {
    if (c.read(c.listHandle, entry, entryBytes) != entryBytes)
      return fail(c, CAB_ERROR_CORRUPT_CABINET);
    if (readU16(entry + kOffFolderBlockCount) != 0)
      c.folderStarts[c.folderStartCount++] = readU32(entry + kOffFolderDataStart);
  }
  uint32_t* const end = c.folderStarts + c.folderStartCount;
  std::sort(c.folderStarts, end);
  if (std::adjacent_find(c.folderStarts, end) != end) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  return true;
}

void beginFolderData(CabinetDecoder& c, uint32_t start) {
  c.dataPosition = start;
  const uint32_t* const first = c.folderStarts;
  const uint32_t* const end = first + c.folderStartCount;
  const uint32_t* const next = std::upper_bound(first, end, start);
  c.dataLimit = next == end ? UINT64_MAX : *next;
}

bool takeFolderData(CabinetDecoder& c, uint32_t bytes) {
  c.dataPosition += bytes;
  return c.dataPosition <= c.dataLimit || fail(c, CAB_ERROR_CORRUPT_CABINET);
}

void freeFolderStarts(CabinetDecoder& c) {
  if (c.folderStarts != nullptr) c.free(c.folderStarts);
  c.folderStarts = nullptr;
  c.folderStartCapacity = 0;
  c.folderStartCount = 0;
}

}  // namespace ks::cab
