// Data blocks: reading CFDATA parts, verifying their checksums, joining the
// two parts of a block split across cabinets, and decoding.

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_checksum.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

constexpr uint32_t kChecksumBytes = 4;

bool verifyChecksum(const CabinetDecoder& c, const uint8_t* data, uint32_t size) {
  const uint32_t stored = readU32(c.dataHeader + kOffDataChecksum);
  if (stored == 0) return true;  // 0: the writer left the block unverified
  const uint32_t sum = cabinetChecksum(data, size, 0);
  const uint32_t headerSum =
      cabinetChecksum(c.dataHeader + kChecksumBytes,
                      static_cast<std::size_t>(c.dataHeaderSize) - kChecksumBytes, sum);
  return headerSum == stored;
}

bool announceBlock(CabinetDecoder& c, uint32_t partOffset) {
  if (c.hook == nullptr) return true;
  const auto headerSize = static_cast<uint32_t>(c.dataHeaderSize);
  CabinetHookInfo& h = c.hookInfo;
  h.kind = CAB_HOOK_DATA_BLOCK;
  h.userValue = c.userValue;
  h.u.block.dataReserve = headerSize > kDataFixedBytes ? c.dataHeader + kDataFixedBytes : nullptr;
  h.u.block.dataReserveSize = static_cast<uint16_t>(headerSize - kDataFixedBytes);
  // The block from its first byte: compressedSize counts both parts of a
  // split block, so (data, compressedSize) stays inside the input buffer; the
  // part just read starts at data + partialSize.
  h.u.block.data = c.input;
  h.u.block.compressedSize = heldCompressedSize(c);
  h.u.block.split = (partOffset != 0 || heldUncompressedSize(c) == 0) ? 1 : 0;
  h.u.block.partialSize = static_cast<uint16_t>(partOffset);
  if (c.hook(&h) == -1) return fail(c, CAB_ERROR_USER_ABORT);
  return true;
}

// One CFDATA header and its bytes, placed in the input buffer at partOffset
// (0, or the size of a split block's first part).
bool readDataPart(CabinetDecoder& c, uint32_t partOffset) {
  const auto headerSize = static_cast<uint32_t>(c.dataHeaderSize);
  if (c.read(c.dataHandle, c.dataHeader, headerSize) != headerSize)
    return fail(c, CAB_ERROR_CORRUPT_CABINET);
  const uint32_t size = heldCompressedSize(c);
  if (partOffset + size > c.inputSize) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  if (!takeFolderData(c, headerSize + size)) return false;
  uint8_t* data = c.input + partOffset;
  if (size != 0 && c.read(c.dataHandle, data, size) != size)
    return fail(c, CAB_ERROR_CORRUPT_CABINET);
  if (!verifyChecksum(c, data, size)) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  writeU16(c.dataHeader + kOffDataCompressed, static_cast<uint16_t>(partOffset + size));
  return announceBlock(c, partOffset);
}

// The second part of a split block, in the next cabinet. It is counted in the
// continued folder's cCFData there (our writer counts it so), which keeps the
// block count right when a folder is split again into a third cabinet.
bool readSecondPart(CabinetDecoder& c) {
  const uint32_t firstPart = heldCompressedSize(c);
  if (!moveToNextCabinet(c)) return false;
  if (c.remainingBlocks == 0) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  --c.remainingBlocks;
  return readDataPart(c, firstPart);
}

}  // namespace

uint16_t heldCompressedSize(const CabinetDecoder& c) {
  return readU16(c.dataHeader + kOffDataCompressed);
}

uint16_t heldUncompressedSize(const CabinetDecoder& c) {
  return readU16(c.dataHeader + kOffDataUncompressed);
}

bool readNextBlock(CabinetDecoder& c) {
  const uint64_t start = static_cast<uint64_t>(c.blockStart) + heldUncompressedSize(c);
  if (start > UINT32_MAX) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  c.blockStart = static_cast<uint32_t>(start);
  if (c.remainingBlocks == 0 && !moveToNextCabinet(c)) return false;
  if (c.remainingBlocks == 0) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  --c.remainingBlocks;
  if (!readDataPart(c, 0)) return false;
  if (heldUncompressedSize(c) == 0 && !readSecondPart(c)) return false;
  return decodeBlock(c, heldUncompressedSize(c));
}

}  // namespace ks::cab
