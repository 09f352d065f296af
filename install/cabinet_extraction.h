#pragma once
// The bridge between the setup and the cabinet library: extracting a package
// cabinet into a folder through the FileSystem port.

#include <cstdint>
#include <string>

#include "cabinet/cabinet.h"
#include "platform/file_system.h"

namespace ks {

// Extracts every file of the cabinet at packagePath into destination,
// following a file that spans into the next cabinets of its set (looked for
// in the package's folder). True when all files were extracted. When error is
// given it receives the library's error record (CAB_ERROR_CABINET_NOT_FOUND
// or CAB_ERROR_NOT_A_CABINET when the package fails before the copy).
// One extraction at a time: the callbacks below share its state.
bool extractCabinet(FileSystem& fileSystem, const std::string& packagePath,
                    const std::string& destination, CabinetError* error = nullptr);

// The notification callback of the extraction: creates the first folder of
// a stored name, opens the target (truncated), stamps finished files with
// their date, time and attributes, and gives up a next cabinet that could
// not be opened.
int32_t cabinetNotifyHandler(int32_t kind, CabinetNotification* notification);

// The memory and file callbacks: the standard allocator and the handles of
// the FileSystem given to extractCabinet.
void* extractionAlloc(uint32_t size);
void extractionFree(void* memory);
int32_t extractionOpen(const char* name, int32_t flags, int32_t mode);
uint32_t extractionRead(int32_t handle, void* buffer, uint32_t count);
uint32_t extractionWrite(int32_t handle, const void* buffer, uint32_t count);
int32_t extractionClose(int32_t handle);
int32_t extractionSeek(int32_t handle, int32_t offset, int32_t origin);

}  // namespace ks
