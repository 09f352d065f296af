// The extraction's notification callback.

#include "app/paths.h"
#include "install/cabinet_extraction.h"
#include "install/dos_date_time.h"
#include "install/extraction_state.h"
#include "install/stored_names.h"

namespace ks {

namespace {

// _open flags of a target file: raw, create, sequential, write-only, and
// truncate, so that no tail of a longer old file stays behind the new bytes.
constexpr int32_t kTargetOpenFlags = 0x8121 | 0x0200;
constexpr int32_t kTargetOpenMode = 0x0180;
// Attributes a finished file keeps: read-only, hidden, system, archive.
constexpr uint32_t kKeptAttributes = 0x27;

// The target of a stored name, or false when the name could leave the
// destination folder or the joined path would not fit its buffer.
bool targetPath(const char* stored, std::string& target) {
  if (stored == nullptr || !isSafeStoredName(stored)) return false;
  target = joinPath(extractionState().destination, storedNameToPath(stored));
  return target.size() <= kMaxExtractionPathChars;
}

int32_t copyFile(const CabinetNotification& n) {
  std::string target;
  if (!targetPath(n.text1, target)) return -1;
  const std::string folder = firstStoredFolder(n.text1);
  // Only the first level is created; an error (it exists) does not matter.
  if (!folder.empty())
    extractionState().fileSystem->createFolder(joinPath(extractionState().destination, folder));
  return extractionOpen(target.c_str(), kTargetOpenFlags, kTargetOpenMode);
}

// The name comes again from the cabinet (from the next one after spanning),
// so it is checked again before anything is stamped.
int32_t closeFile(const CabinetNotification& n) {
  extractionClose(n.fileHandle);
  std::string target;
  if (!targetPath(n.text1, target)) return 0;
  FileSystem& fileSystem = *extractionState().fileSystem;
  FileSystem::LocalDateTime time;
  if (decodeDosDateTime(n.date, n.time, time)) fileSystem.setFileTime(target, time);
  fileSystem.setFileAttributes(target, n.attributes & kKeptAttributes);
  return 1;
}

}  // namespace

int32_t cabinetNotifyHandler(int32_t kind, CabinetNotification* notification) {
  switch (kind) {
    case CAB_NOTIFY_COPY_FILE:
      return copyFile(*notification);
    case CAB_NOTIFY_CLOSE_FILE:
      return closeFile(*notification);
    case CAB_NOTIFY_NEXT_CABINET:
      // Look in the same folder once; a failed attempt would repeat forever.
      return notification->error == CAB_ERROR_NONE ? 0 : -1;
    default:
      return 0;
  }
}

}  // namespace ks
