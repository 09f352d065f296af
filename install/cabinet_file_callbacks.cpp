// The seven memory and file callbacks of the extraction: pass-throughs to
// the standard allocator and to the FileSystem's handles.

#include <cstdlib>
#include <cstring>

#include "install/cabinet_extraction.h"
#include "install/extraction_state.h"

namespace ks {

namespace {

// _open flag bits.
constexpr int32_t kAccessMask = 0x0003;
constexpr int32_t kAccessWrite = 0x0001;
constexpr int32_t kAccessReadWrite = 0x0002;
constexpr int32_t kCreate = 0x0100;
constexpr int32_t kTruncate = 0x0200;
// The Quantum decoder's spill-file request. On the setup's home system the
// name is not a valid file name and the open fails; here it would be, so it
// is refused the same way.
constexpr char kSpillFileName[] = "*";

FileSystem::FileAccess accessOf(int32_t flags) {
  switch (flags & kAccessMask) {
    case kAccessWrite:
      return FileSystem::FileAccess::Write;
    case kAccessReadWrite:
      return FileSystem::FileAccess::ReadWrite;
    default:
      return FileSystem::FileAccess::Read;
  }
}

}  // namespace

ExtractionState& extractionState() {
  static ExtractionState state;
  return state;
}

void* extractionAlloc(uint32_t size) {
  return std::malloc(size);
}

void extractionFree(void* memory) {
  std::free(memory);
}

int32_t extractionOpen(const char* name, int32_t flags, int32_t /*mode*/) {
  FileSystem* fileSystem = extractionState().fileSystem;
  if (fileSystem == nullptr || std::strcmp(name, kSpillFileName) == 0) return -1;
  return fileSystem->openHandle(name, accessOf(flags), (flags & kCreate) != 0,
                                (flags & kTruncate) != 0);
}

uint32_t extractionRead(int32_t handle, void* buffer, uint32_t count) {
  return static_cast<uint32_t>(extractionState().fileSystem->readHandle(handle, buffer, count));
}

uint32_t extractionWrite(int32_t handle, const void* buffer, uint32_t count) {
  return static_cast<uint32_t>(extractionState().fileSystem->writeHandle(handle, buffer, count));
}

int32_t extractionClose(int32_t handle) {
  return extractionState().fileSystem->closeHandle(handle) ? 0 : -1;
}

int32_t extractionSeek(int32_t handle, int32_t offset, int32_t origin) {
  return extractionState().fileSystem->seekHandle(handle, offset, origin);
}

}  // namespace ks
