// Extracting one file: decoding its folder forward to the file's offset and
// writing its bytes straight from the decoded blocks.

#include <algorithm>

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

constexpr uint16_t kRunAfterExtraction = 0x0040;

uint64_t blockEnd(const CabinetDecoder& c) {
  return static_cast<uint64_t>(c.blockStart) + heldUncompressedSize(c);
}

// Writes the file's bytes block by block: at most one write per block.
bool writeFileBytes(CabinetDecoder& c, uint64_t offset, uint32_t left) {
  while (offset >= blockEnd(c)) {
    if (!readNextBlock(c)) return false;
  }
  // The reader only decodes forward: an entry that starts before the block in
  // the output buffer (entries out of folder order) is refused as corrupt.
  if (offset < c.blockStart) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  for (;;) {
    const auto within = static_cast<uint32_t>(offset - c.blockStart);
    const uint32_t count = std::min<uint32_t>(left, heldUncompressedSize(c) - within);
    if (count != 0 && c.write(c.outputHandle, c.output + within, count) != count)
      return fail(c, CAB_ERROR_TARGET_FILE);
    offset += count;
    left -= count;
    if (left == 0) return true;
    if (!readNextBlock(c)) return false;
  }
}

bool announceClose(CabinetDecoder& c) {
  CabinetNotification& n = c.notification;
  const uint16_t attributes = readU16(c.fileEntry + kOffFileAttributes);
  n.text1 = c.fileName;
  n.fileHandle = c.outputHandle;
  n.date = readU16(c.fileEntry + kOffFileDate);
  n.time = readU16(c.fileEntry + kOffFileTime);
  n.attributes = static_cast<uint16_t>(attributes & ~kRunAfterExtraction);
  n.size = (attributes & kRunAfterExtraction) != 0 ? 1 : 0;
  n.userValue = c.userValue;
  const int32_t answer = c.notify(CAB_NOTIFY_CLOSE_FILE, &n);
  if (answer == -1) return fail(c, CAB_ERROR_USER_ABORT);
  c.outputHandle = kNoHandle;
  if (answer == 0) return fail(c, CAB_ERROR_TARGET_FILE);
  return true;
}

}  // namespace

bool extractFile(CabinetDecoder& c) {
  if (!selectFolder(c, readU16(c.fileEntry + kOffFileFolder))) return false;
  const uint64_t offset = readU32(c.fileEntry + kOffFileOffset);
  const uint32_t left = readU32(c.fileEntry + kOffFileSize);
  if (left != 0 && !writeFileBytes(c, offset, left)) return false;
  return announceClose(c);
}

}  // namespace ks::cab
