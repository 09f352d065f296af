// The seven memory and file callbacks of the extraction: pass-throughs to
// the standard allocator and to the FileSystem's handles.

#include <cstdlib>

#include "install/cabinet_extraction.h"
#include "install/extraction_state.h"

namespace ks {

namespace {

// _open access bits.
constexpr int32_t kAccessMask = 0x0003;
constexpr int32_t kAccessRead = 0x0000;

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

// Cabinets are the only files opened here: for reading, regular files only.
// Anything else is refused, among it the Quantum decoder's spill file (the
// name "*", opened for writing), which on the setup's home system is not a
// valid file name either.
int32_t extractionOpen(const char* name, int32_t flags, int32_t /*mode*/) {
  FileSystem* fileSystem = extractionState().fileSystem;
  if (fileSystem == nullptr || (flags & kAccessMask) != kAccessRead) return -1;
  return fileSystem->openForReading(name);
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
