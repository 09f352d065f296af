// The file list: reading CFFILE entries and offering each to the caller.

#include <cstring>

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

uint16_t entryFolder(const CabinetDecoder& c) {
  return readU16(c.fileEntry + kOffFileFolder);
}

bool continuesFromPrevious(uint16_t iFolder) {
  return iFolder == kContinuedFromPrevious || iFolder == kContinuedBoth;
}

bool continuesToNext(uint16_t iFolder) {
  return iFolder == kContinuedToNext || iFolder == kContinuedBoth;
}

void describeEntry(CabinetDecoder& c) {
  CabinetNotification& n = c.notification;
  n.size = static_cast<int32_t>(readU32(c.fileEntry + kOffFileSize));
  n.text1 = c.fileName;
  n.text2 = c.previousCabinet;
  n.text3 = c.previousDisk;
  n.date = readU16(c.fileEntry + kOffFileDate);
  n.time = readU16(c.fileEntry + kOffFileTime);
  n.attributes = readU16(c.fileEntry + kOffFileAttributes);
  n.userValue = c.userValue;
}

// One entry of the list. False stops the copy (the error is recorded).
bool handleEntry(CabinetDecoder& c) {
  if (!readFileEntry(c)) return false;
  describeEntry(c);
  const uint16_t iFolder = entryFolder(c);
  if (continuesFromPrevious(iFolder) && c.continuation == 0) {
    if (c.notify(CAB_NOTIFY_PARTIAL_FILE, &c.notification) == -1)
      return fail(c, CAB_ERROR_USER_ABORT);
    return true;
  }
  if (!continuesFromPrevious(iFolder) && c.continuation != 0) return true;
  const int32_t answer = c.notify(CAB_NOTIFY_COPY_FILE, &c.notification);
  if (answer == -1) return fail(c, CAB_ERROR_USER_ABORT);
  if (answer == 0) {
    if (continuesToNext(iFolder)) ++c.skippedSpanning;
    return true;
  }
  c.outputHandle = answer;
  return extractFile(c);
}

bool copyEntries(CabinetDecoder& c, const char* path) {
  c.continuation = 0;
  c.currentFolder = kNoFolder;
  copyText(c.cabinetPath, path);
  while (c.remainingFiles != 0) {
    --c.remainingFiles;
    if (!handleEntry(c)) return false;
  }
  return true;
}

}  // namespace

bool readFileEntry(CabinetDecoder& c) {
  if (c.read(c.listHandle, c.fileEntry, kFileEntryBytes) != kFileEntryBytes)
    return fail(c, CAB_ERROR_CORRUPT_CABINET);
  return readName(c, c.fileName);
}

}  // namespace ks::cab

extern "C" int32_t cabinetCopy(CabinetDecoder* context, const char* name, const char* path,
                               int32_t /*flags*/, CabinetNotify notify, CabinetBlockHook hook,
                               intptr_t userValue) {
  using namespace ks::cab;
  CabinetDecoder& c = *context;
  c.userValue = userValue;
  c.notify = notify;
  c.hook = hook;
  c.skippedSpanning = 0;
  // A path that does not fit the path buffer names no cabinet we could open.
  if (std::strlen(path) >= kTextBytes) {
    fail(c, CAB_ERROR_CABINET_NOT_FOUND);
    return 0;
  }
  copyText(c.cabinetPath, path);
  const bool copied = openCabinet(c, name, false, 0, 0) && copyEntries(c, path);
  if (c.outputHandle != kNoHandle) {
    c.close(c.outputHandle);
    c.outputHandle = kNoHandle;
  }
  closeCabinetHandles(c);
  return copied ? 1 : 0;
}
