// The extraction's notification callbacks: planning (names and sizes, before
// anything is written) and extracting.

#include "app/paths.h"
#include "install/cabinet_extraction.h"
#include "install/dos_date_time.h"
#include "install/extraction_state.h"
#include "install/stored_names.h"
#include "install/temporary_files.h"

namespace ks {

namespace {

// Attributes a finished file keeps: read-only, hidden, system, archive.
constexpr uint32_t kKeptAttributes = 0x27;

// The target of a stored name below the destination, or false when the name
// could leave the destination folder or the joined path would not fit its
// buffer.
bool targetBelow(const char* stored, std::string& below) {
  if (stored == nullptr || !isSafeStoredName(stored)) return false;
  below = storedNameToPath(stored);
  return joinPath(extractionState().destination, below).size() <= kMaxExtractionPathChars;
}

// Every missing level of folder (below the destination) is created; a link
// in the way is replaced by a real folder.
bool makeFolders(ExtractionState& state, const std::string& folder) {
  for (std::size_t end = folder.find(kPathSeparator);; end = folder.find(kPathSeparator, end + 1)) {
    if (!state.fileSystem->ensureFolder(state.destination, folder.substr(0, end))) return false;
    if (end == std::string::npos) return true;
  }
}

// The first file written into a folder clears away what a killed run left.
void sweepOnce(ExtractionState& state, const std::string& folder) {
  if (!state.sweptFolders.insert(folder).second) return;
  removeStaleTemporaryFiles(*state.fileSystem, state.destination, folder);
}

// The file is written under its temporary name; closeFile puts it in place.
int32_t copyFile(const CabinetNotification& n) {
  ExtractionState& state = extractionState();
  std::string below;
  if (!targetBelow(n.text1, below)) return -1;
  const std::string folder = splitAtLastSeparator(below).folder;
  if (!folder.empty() && !makeFolders(state, folder)) return -1;
  sweepOnce(state, folder);
  const std::string temporary = temporaryNameOf(below);
  const int32_t handle = state.fileSystem->createFile(state.destination, temporary);
  if (handle < 0) return -1;
  state.target = below;
  state.temporary = temporary;
  return handle;
}

// Stamps the complete file through its handle, then renames it over its
// name. The name is the one checked when the file was opened: after spanning
// the reader reports the name again from the next cabinet.
int32_t closeFile(const CabinetNotification& n) {
  ExtractionState& state = extractionState();
  FileSystem& files = *state.fileSystem;
  FileSystem::LocalDateTime time;
  if (decodeDosDateTime(n.date, n.time, time)) files.setHandleTime(n.fileHandle, time);
  files.setHandleAttributes(n.fileHandle, n.attributes & kKeptAttributes);
  const bool placed = files.closeHandle(n.fileHandle) &&
                      files.renameFile(state.destination, state.temporary, state.target);
  if (placed) {
    state.writtenFiles.push_back(state.target);
  } else {
    files.deleteFile(state.destination, state.temporary);
  }
  state.target.clear();
  state.temporary.clear();
  return placed ? 1 : 0;
}

}  // namespace

int32_t cabinetNotifyHandler(int32_t kind, CabinetNotification* notification) {
  switch (kind) {
    case CAB_NOTIFY_COPY_FILE:
      return copyFile(*notification);
    case CAB_NOTIFY_CLOSE_FILE:
      return closeFile(*notification);
    case CAB_NOTIFY_NEXT_CABINET:
      // Only a plain name in the same folder, looked for once: a failed
      // attempt would repeat forever.
      if (notification->text1 == nullptr || !isPlainCabinetName(notification->text1)) return -1;
      return notification->error == CAB_ERROR_NONE ? 0 : -1;
    default:
      return 0;
  }
}

int32_t cabinetPlanningHandler(int32_t kind, CabinetNotification* notification) {
  if (kind != CAB_NOTIFY_COPY_FILE) return 0;
  std::string below;
  if (!targetBelow(notification->text1, below)) return -1;
  extractionState().declaredBytes += static_cast<uint32_t>(notification->size);
  extractionState().plannedFiles.push_back(below);
  return 0;
}

}  // namespace ks
