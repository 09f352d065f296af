// Folders: selecting the folder of a file and reading its CFFOLDER entry.

#include <cstring>

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

bool resetDecoder(CabinetDecoder& c) {
  return onLiveDecoder(c, mszipReset, quantumReset) == DECODER_OK ||
         fail(c, CAB_ERROR_DECOMPRESSION_FAILED);
}

// The folder's first block. A folder without data blocks in this cabinet is
// left with an empty held block: its empty files need nothing, and the first
// byte asked of it moves on as any exhausted folder does.
bool readFirstBlock(CabinetDecoder& c) {
  if (c.remainingBlocks == 0) {
    std::memset(c.dataHeader, 0, static_cast<std::size_t>(c.dataHeaderSize));
  } else if (!readNextBlock(c)) {
    return false;
  }
  c.blockStart = 0;
  return true;
}

}  // namespace

bool selectFolder(CabinetDecoder& c, uint16_t iFolder) {
  if (c.continuation != 0) return true;
  int32_t folder = iFolder;
  const int32_t folderCount = readU16(c.header + kOffFolderCount);
  if (iFolder == kContinuedToNext || iFolder == kContinuedBoth) folder = folderCount - 1;
  // An entry naming a folder the cabinet does not have is corrupt; reading
  // past the folder table would take file entries for folder entries.
  if (folder < 0 || folder >= folderCount) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  if (folder == c.currentFolder) return true;
  return resetDecoder(c) && readFolderEntry(c, folder, false) && readFirstBlock(c);
}

bool readFolderEntry(CabinetDecoder& c, int32_t index, bool continued) {
  c.currentFolder = index;
  const int64_t position =
      static_cast<int64_t>(c.firstFolderPosition) + static_cast<int64_t>(index) * c.folderEntrySize;
  const auto size = static_cast<uint32_t>(c.folderEntrySize);
  if (position > INT32_MAX || c.seek(c.dataHandle, static_cast<int32_t>(position), 0) < 0 ||
      c.read(c.dataHandle, c.folderEntry, size) != size)
    return fail(c, CAB_ERROR_CORRUPT_CABINET);
  const auto dataStart = static_cast<int32_t>(readU32(c.folderEntry + kOffFolderDataStart));
  if (dataStart < 0 || c.seek(c.dataHandle, dataStart, 0) < 0)
    return fail(c, CAB_ERROR_CORRUPT_CABINET);
  beginFolderData(c, static_cast<uint32_t>(dataStart));
  c.remainingBlocks = readU16(c.folderEntry + kOffFolderBlockCount);
  const uint16_t type = readU16(c.folderEntry + kOffFolderType);
  if (continued && type != c.currentType) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  if (!switchDecoder(c, type)) return false;
  if (c.hook == nullptr) return true;
  CabinetHookInfo& h = c.hookInfo;
  h.kind = CAB_HOOK_NEW_FOLDER;
  h.userValue = c.userValue;
  h.u.folder.folderReserve = size > kFolderFixedBytes ? c.folderEntry + kFolderFixedBytes : nullptr;
  h.u.folder.folderReserveSize = static_cast<uint16_t>(size - kFolderFixedBytes);
  h.u.folder.folderIndex = static_cast<uint16_t>(index);
  if (c.hook(&h) == -1) return fail(c, CAB_ERROR_USER_ABORT);
  return true;
}

}  // namespace ks::cab
