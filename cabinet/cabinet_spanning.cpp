// Spanning: a folder that continues in the next cabinet of the set.

#include <cstring>

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

void describeNextCabinet(CabinetDecoder& c, uint16_t setId, uint16_t nextIndex) {
  CabinetNotification& n = c.notification;
  n.text1 = c.pendingCabinet;
  n.text2 = c.pendingDisk;
  n.text3 = c.cabinetPath;
  n.userValue = c.userValue;
  n.setId = setId;
  n.cabinetIndex = nextIndex;
}

// The entries at the head of the new cabinet's list continue the files that
// the previous cabinet sent on: the skipped ones, then the file in progress.
bool catchUpFileList(CabinetDecoder& c) {
  ++c.skippedSpanning;
  for (; c.skippedSpanning != 0; --c.skippedSpanning) {
    if (c.remainingFiles == 0) return fail(c, CAB_ERROR_CORRUPT_CABINET);
    --c.remainingFiles;
    if (!readFileEntry(c)) return false;
  }
  return true;
}

}  // namespace

bool moveToNextCabinet(CabinetDecoder& c) {
  // A cabinet that names no next cabinet has nothing to continue with.
  if ((readU16(c.header + kOffFlags) & kFlagNext) == 0) return fail(c, CAB_ERROR_CORRUPT_CABINET);
  const uint16_t setId = readU16(c.header + kOffSetId);
  const auto nextIndex = static_cast<uint16_t>(readU16(c.header + kOffCabinetIndex) + 1);
  copyText(c.pendingCabinet, c.nextCabinet);
  copyText(c.pendingDisk, c.nextDisk);
  c.notification.error = CAB_ERROR_NONE;
  for (;;) {
    describeNextCabinet(c, setId, nextIndex);
    if (!closeCabinetHandles(c)) return fail(c, CAB_ERROR_CORRUPT_CABINET);
    if (c.notify(CAB_NOTIFY_NEXT_CABINET, &c.notification) == -1)
      return fail(c, CAB_ERROR_USER_ABORT);
    c.cabinetPath[kTextBytes - 1] = '\0';
    if (c.notification.text1 != c.pendingCabinet) copyText(c.pendingCabinet, c.notification.text1);
    c.pendingCabinet[kTextBytes - 1] = '\0';
    if (openCabinet(c, c.pendingCabinet, true, setId, nextIndex) && readFolderEntry(c, 0, true))
      break;
    if (c.error->code == CAB_ERROR_USER_ABORT) return false;
    c.notification.error = c.error->code;
  }
  if (!catchUpFileList(c)) return false;
  c.continuation = 1;
  return true;
}

}  // namespace ks::cab
