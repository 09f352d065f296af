#pragma once
// The bridge between the setup and the cabinet library: extracting a package
// cabinet into a folder through the FileSystem port.

#include <cstdint>
#include <string>
#include <vector>

#include "cabinet/cabinet.h"
#include "platform/file_system.h"

namespace ks {

// How an extraction ended, for a caller that wants to say why it failed.
struct ExtractionReport {
  // The library's error record (CAB_ERROR_CABINET_NOT_FOUND or
  // CAB_ERROR_NOT_A_CABINET when the package fails before the copy).
  CabinetError error{};
  // Set when the files the cabinet declares need more than the free space of
  // the destination's file system: the bytes they need. Nothing was written.
  std::uint64_t bytesNeeded = 0;
  // Every file put in place, as a path below the destination; also when a
  // later one failed.
  std::vector<std::string> writtenFiles;
};

// "Not enough disk space: the package needs N MB." (N rounded up).
std::string notEnoughSpaceText(std::uint64_t bytesNeeded);

// Extracts every file of the cabinet at packagePath into destination,
// following a file that spans into the next cabinets of its set (looked for
// by plain name in the package's folder). True when all files were
// extracted. Before anything is written, every stored name is checked and
// the declared sizes are held against the free space. Each file is written
// under its temporary name and renamed over its name once complete; a
// failure leaves no temporary file and an older file untouched. One
// extraction at a time: the callbacks below share its state.
bool extractCabinet(FileSystem& fileSystem, const std::string& packagePath,
                    const std::string& destination, ExtractionReport* report = nullptr);

// The paths the cabinet's files would get below destination, found by the
// planning pass alone (nothing is written); false when the package can't be
// read as a cabinet or names a file that could leave the destination.
bool listCabinet(FileSystem& fileSystem, const std::string& packagePath,
                 const std::string& destination, std::vector<std::string>& paths);

// The notification callback of the extraction: creates the folders of a
// stored name, writes the file under its temporary name, stamps the finished
// file with its date, time and attributes and puts it in place, and gives up
// a next cabinet that is not a plain name or could not be opened.
int32_t cabinetNotifyHandler(int32_t kind, CabinetNotification* notification);
// The notification callback of the planning pass: checks every stored name
// and sums the declared sizes; skips every file.
int32_t cabinetPlanningHandler(int32_t kind, CabinetNotification* notification);

// The memory and file callbacks: the standard allocator and the handles of
// the FileSystem given to extractCabinet. Only cabinets are opened through
// them (for reading; regular files only).
void* extractionAlloc(uint32_t size);
void extractionFree(void* memory);
int32_t extractionOpen(const char* name, int32_t flags, int32_t mode);
uint32_t extractionRead(int32_t handle, void* buffer, uint32_t count);
uint32_t extractionWrite(int32_t handle, const void* buffer, uint32_t count);
int32_t extractionClose(int32_t handle);
int32_t extractionSeek(int32_t handle, int32_t offset, int32_t origin);

}  // namespace ks
