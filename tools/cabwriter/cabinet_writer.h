#pragma once
// Our cabinet writer: builds cabinet files ("MSCF" 1.3) with stored, MSZIP or
// Quantum folders, optional reserve areas, and spanning sets when a maximum
// cabinet size is given. Works in memory; the caller writes the files.

#include <cstdint>
#include <string>
#include <vector>

namespace ks::cabwriter {

enum class Compression { Stored, Mszip, Quantum };

struct WriterFile {
  std::string name;  // as stored: backslashes between folders, at most 255 characters
  std::vector<uint8_t> data;
  uint16_t date = 0x5A21;  // MS-DOS date and time
  uint16_t time = 0x6000;
  uint16_t attributes = 0x0020;
};

struct WriterOptions {
  Compression compression = Compression::Mszip;
  int quantumWindowBits = 21;
  // 0: one cabinet. Otherwise a set of cabinets of at most this many bytes
  // each (a cabinet too small for one block and its headers holds it anyway).
  uint32_t maxCabinetSize = 0;
  bool reserveFields = false;  // also set by any non-zero reserve size
  uint16_t headerReserve = 0;
  uint8_t folderReserve = 0;
  uint8_t dataReserve = 0;
  uint16_t setId = 0x4B53;
  std::size_t filesPerFolder = 0;  // 0: all files in one folder
  bool checksums = true;
  // Name of the first cabinet; the next ones insert 2, 3, ... before the
  // extension ("set.cab", "set2.cab", ...).
  std::string cabinetName = "out.cab";
};

struct CabinetImage {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Fills `cabinets` (one, or the whole set). False with a reason in `error`
// for input that a cabinet cannot hold.
bool writeCabinets(const std::vector<WriterFile>& files, const WriterOptions& options,
                   std::vector<CabinetImage>& cabinets, std::string& error);

// The name of cabinet `index` (0-based) of a set whose first cabinet is `first`.
std::string cabinetNameInSet(const std::string& first, std::size_t index);

// Folder compression type for the options (Quantum carries its window bits).
uint16_t folderCompressionType(const WriterOptions& options);

}  // namespace ks::cabwriter
