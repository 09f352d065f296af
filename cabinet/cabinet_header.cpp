// Opening a cabinet: the fixed header, the reserve fields and areas, the
// names of the neighbouring cabinets; recognising a cabinet file.

#include <cstring>

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

constexpr int32_t kOpenCabinetFlags = CABINET_OPEN_RAW | CABINET_OPEN_READ_ONLY;
constexpr uint32_t kReserveFieldBytes = 4;  // cbCFHeader u16, cbCFFolder u8, cbCFData u8

bool readExactly(CabinetDecoder& c, int32_t handle, void* buffer, uint32_t count) {
  return c.read(handle, buffer, count) == count;
}

// Path buffer followed by the name; refused when together they do not fit
// the 256 characters of the full-name buffer (such a cabinet cannot be found).
bool buildFullName(CabinetDecoder& c, const char* name) {
  const std::size_t pathLength = std::strlen(c.cabinetPath);
  const std::size_t nameLength = std::strlen(name);
  if (pathLength + nameLength >= kTextBytes) return fail(c, CAB_ERROR_CABINET_NOT_FOUND);
  std::memcpy(c.fullName, c.cabinetPath, pathLength);
  std::memcpy(c.fullName + pathLength, name, nameLength + 1);
  return true;
}

bool openHandles(CabinetDecoder& c) {
  c.listHandle = c.open(c.fullName, kOpenCabinetFlags, CABINET_OPEN_MODE_READ_WRITE);
  if (c.listHandle == kNoHandle) return fail(c, CAB_ERROR_CABINET_NOT_FOUND);
  c.dataHandle = c.open(c.fullName, kOpenCabinetFlags, CABINET_OPEN_MODE_READ_WRITE);
  if (c.dataHandle == kNoHandle) return fail(c, CAB_ERROR_CABINET_NOT_FOUND);
  return true;
}

bool checkHeader(CabinetDecoder& c, const uint8_t* header) {
  if (readU32(header) != kSignature) return fail(c, CAB_ERROR_NOT_A_CABINET);
  const uint16_t version = readU16(header + kOffVersion);
  if (version != kVersion13) return fail(c, CAB_ERROR_UNSUPPORTED_VERSION, version);
  return true;
}

// A buffer of `size` bytes the first time, checked against the recorded size
// on every later cabinet.
bool fixReserveSize(CabinetDecoder& c, int32_t& recorded, uint8_t*& buffer, int32_t size) {
  if (buffer == nullptr) {
    buffer = static_cast<uint8_t*>(c.alloc(static_cast<uint32_t>(size)));
    if (buffer == nullptr) return fail(c, CAB_ERROR_OUT_OF_MEMORY);
    std::memset(buffer, 0, static_cast<std::size_t>(size));
    recorded = size;
    return true;
  }
  if (recorded != size) return fail(c, CAB_ERROR_RESERVE_MISMATCH);
  return true;
}

bool readHeaderReserve(CabinetDecoder& c, uint16_t cbCFHeader) {
  // A cbCFHeader of 0xFFFF looks like "unset": the buffer tells them apart.
  if (c.headerReserveSize == kSizeUnset && c.headerReserve == nullptr) {
    c.headerReserveSize = cbCFHeader;
    if (cbCFHeader != 0) {
      c.headerReserve = static_cast<uint8_t*>(c.alloc(cbCFHeader));
      if (c.headerReserve == nullptr) return fail(c, CAB_ERROR_OUT_OF_MEMORY);
    }
  }
  if (c.headerReserveSize == 0) return true;
  if (!readExactly(c, c.listHandle, c.headerReserve, static_cast<uint32_t>(c.headerReserveSize)))
    return fail(c, CAB_ERROR_NOT_A_CABINET);
  return true;
}

bool readReserves(CabinetDecoder& c, uint16_t flags) {
  uint8_t fields[kReserveFieldBytes] = {0, 0, 0, 0};
  if ((flags & kFlagReserve) != 0) {
    if (!readExactly(c, c.listHandle, fields, kReserveFieldBytes))
      return fail(c, CAB_ERROR_NOT_A_CABINET);
    if (!readHeaderReserve(c, readU16(fields))) return false;
  }
  return fixReserveSize(c, c.folderEntrySize, c.folderEntry, kFolderFixedBytes + fields[2]) &&
         fixReserveSize(c, c.dataHeaderSize, c.dataHeader, kDataFixedBytes + fields[3]);
}

bool readNeighbourNames(CabinetDecoder& c, uint16_t flags) {
  c.previousCabinet[0] = c.previousDisk[0] = c.nextCabinet[0] = c.nextDisk[0] = '\0';
  if ((flags & kFlagPrevious) != 0 &&
      !(readName(c, c.previousCabinet) && readName(c, c.previousDisk)))
    return false;
  if ((flags & kFlagNext) != 0 && !(readName(c, c.nextCabinet) && readName(c, c.nextDisk)))
    return false;
  return true;
}

bool announceCabinet(CabinetDecoder& c) {
  CabinetNotification& n = c.notification;
  n.text1 = c.nextCabinet;
  n.text2 = c.nextDisk;
  n.text3 = c.cabinetPath;
  n.userValue = c.userValue;
  n.setId = readU16(c.header + kOffSetId);
  n.cabinetIndex = readU16(c.header + kOffCabinetIndex);
  if (c.notify(CAB_NOTIFY_CABINET_INFO, &n) == -1) return fail(c, CAB_ERROR_USER_ABORT);
  c.cabinetPath[kTextBytes - 1] = '\0';  // the callback may have rewritten it
  if (c.hook == nullptr) return true;
  CabinetHookInfo& h = c.hookInfo;
  h.kind = CAB_HOOK_NEW_CABINET;
  h.userValue = c.userValue;
  h.u.cabinet.headerReserve = c.headerReserve;
  h.u.cabinet.headerReserveSize = static_cast<uint16_t>(c.headerReserveSize);
  h.u.cabinet.setId = n.setId;
  h.u.cabinet.cabinetIndex = n.cabinetIndex;
  if (c.hook(&h) == -1) return fail(c, CAB_ERROR_USER_ABORT);
  return true;
}

}  // namespace

bool closeCabinetHandles(CabinetDecoder& c) {
  bool closed = true;
  if (c.dataHandle != kNoHandle && c.close(c.dataHandle) != 0) closed = false;
  c.dataHandle = kNoHandle;
  if (c.listHandle != kNoHandle && c.close(c.listHandle) != 0) closed = false;
  c.listHandle = kNoHandle;
  return closed;
}

// Names end with a NUL within 256 bytes (255 characters at most). Near the end
// of the file fewer bytes may come back: the NUL must then be among those
// actually read, never found in what an earlier name left in the buffer.
bool readName(CabinetDecoder& c, char* buffer) {
  const int32_t start = c.seek(c.listHandle, 0, 1);
  if (start < 0) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  const uint32_t got = c.read(c.listHandle, buffer, kMaxNameChars + 1);
  if (got == 0 || got > kMaxNameChars + 1) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  const void* end = std::memchr(buffer, '\0', got);
  if (end == nullptr) {
    buffer[0] = '\0';
    return fail(c, CAB_ERROR_CORRUPT_CABINET);
  }
  const auto length = static_cast<int32_t>(static_cast<const char*>(end) - buffer);
  if (c.seek(c.listHandle, start + length + 1, 0) < 0) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  return true;
}

bool openCabinet(CabinetDecoder& c, const char* name, bool expectSet, uint16_t setId,
                 uint16_t cabinetIndex) {
  if (!buildFullName(c, name) || !openHandles(c)) return false;
  uint8_t header[kHeaderBytes];
  if (!readExactly(c, c.listHandle, header, kHeaderBytes)) return fail(c, CAB_ERROR_NOT_A_CABINET);
  if (!checkHeader(c, header)) return false;
  if (expectSet &&
      (readU16(header + kOffSetId) != setId || readU16(header + kOffCabinetIndex) != cabinetIndex))
    return fail(c, CAB_ERROR_WRONG_CABINET);
  std::memcpy(c.header, header, kHeaderBytes);
  const uint16_t flags = readU16(header + kOffFlags);
  if (!readReserves(c, flags) || !readNeighbourNames(c, flags)) return false;
  c.firstFolderPosition = c.seek(c.listHandle, 0, 1);
  if (c.firstFolderPosition < 0) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  if (!readFolderStarts(c)) return false;
  const auto filesStart = static_cast<int32_t>(readU32(header + kOffFilesStart));
  if (filesStart < 0 || c.seek(c.listHandle, filesStart, 0) < 0)
    return fail(c, CAB_ERROR_CORRUPT_CABINET);
  c.remainingFiles = readU16(header + kOffFileCount);
  return announceCabinet(c);
}

}  // namespace ks::cab

extern "C" int32_t cabinetIsCabinet(CabinetDecoder* context, int32_t handle, CabinetInfo* info) {
  using namespace ks::cab;
  CabinetDecoder& c = *context;
  uint8_t header[kHeaderBytes];
  if (c.read(handle, header, kHeaderBytes) != kHeaderBytes) return 0;
  if (readU32(header) != kSignature) return 0;
  if (!checkHeader(c, header)) return 0;
  const uint16_t flags = readU16(header + kOffFlags);
  info->totalSize = static_cast<int32_t>(readU32(header + kOffCabinetSize));
  info->folderCount = readU16(header + kOffFolderCount);
  info->fileCount = readU16(header + kOffFileCount);
  info->setId = readU16(header + kOffSetId);
  info->cabinetIndex = readU16(header + kOffCabinetIndex);
  info->hasReserve = (flags & kFlagReserve) != 0 ? 1 : 0;
  info->hasPrevious = (flags & kFlagPrevious) != 0 ? 1 : 0;
  info->hasNext = flags & kFlagNext;
  return 1;
}
