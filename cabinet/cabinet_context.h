#pragma once
// The reader's context and the operations its source files share. Internal to
// the cabinet library.

#include <cstdint>

#include "cabinet/cabinet.h"
#include "cabinet/mszip.h"
#include "cabinet/quantum.h"

namespace ks::cab {

// Sizes of the on-disk records.
inline constexpr uint32_t kHeaderBytes = 36;      // fixed CFHEADER
inline constexpr uint32_t kFileEntryBytes = 16;   // fixed CFFILE, before the name
inline constexpr uint32_t kFolderFixedBytes = 8;  // CFFOLDER without reserve
inline constexpr uint32_t kDataFixedBytes = 8;    // CFDATA header without reserve
// Names and paths: 256 characters and the NUL; names read from the cabinet
// hold at most 255 characters.
inline constexpr uint32_t kTextBytes = 257;
inline constexpr uint32_t kMaxNameChars = 255;
// Every decoded block fits in one 32768-byte output buffer; stored blocks are
// copied through an input buffer of the same size.
inline constexpr uint32_t kBlockBytes = 32768;

inline constexpr int32_t kNoHandle = -1;
inline constexpr int32_t kNoFolder = 0xFFFF;
inline constexpr int32_t kSizeUnset = 0xFFFF;
// The live decoder's full 16-bit type, or this for no decoder (outside the
// 16-bit range, so no on-disk value can match it).
inline constexpr int32_t kNoDecoder = -1;

// CFHEADER flags.
inline constexpr uint16_t kFlagPrevious = 0x0001;
inline constexpr uint16_t kFlagNext = 0x0002;
inline constexpr uint16_t kFlagReserve = 0x0004;

// CFFILE iFolder values for files that span cabinets.
inline constexpr uint16_t kContinuedFromPrevious = 0xFFFD;
inline constexpr uint16_t kContinuedToNext = 0xFFFE;
inline constexpr uint16_t kContinuedBoth = 0xFFFF;

// Low four bits of typeCompress.
inline constexpr uint16_t kTypeMask = 0x000F;
inline constexpr uint16_t kTypeStored = 0;
inline constexpr uint16_t kTypeMszip = 1;
inline constexpr uint16_t kTypeQuantum = 2;

}  // namespace ks::cab

// The context. Plain data: allocated through the caller's alloc callback and
// cleared, never constructed.
struct CabinetDecoder {
  CabinetError* error;
  CabinetFree free;
  CabinetAlloc alloc;
  CabinetOpen open;
  CabinetRead read;
  CabinetWrite write;
  CabinetClose close;
  CabinetSeek seek;
  int32_t cpuType;
  CabinetNotify notify;
  CabinetBlockHook hook;
  int32_t firstFolderPosition;
  uint32_t blockStart;  // folder offset of the first byte in the output buffer
  union {
    MszipDecoder* mszip;
    QuantumDecoder* quantum;
  } decoder;
  intptr_t userValue;
  uint8_t* input;
  uint8_t* output;
  uint8_t* folderEntry;    // folderEntrySize bytes
  uint8_t* dataHeader;     // dataHeaderSize bytes
  uint8_t* headerReserve;  // headerReserveSize bytes
  uint8_t header[ks::cab::kHeaderBytes];
  uint8_t fileEntry[ks::cab::kFileEntryBytes];
  int32_t dataHandle;
  int32_t listHandle;
  int32_t outputHandle;
  int32_t currentFolder;
  uint32_t outputSize;
  uint32_t inputSize;
  int32_t continuation;
  int32_t headerReserveSize;
  int32_t folderEntrySize;
  int32_t dataHeaderSize;
  uint16_t remainingFiles;
  uint16_t skippedSpanning;
  uint16_t remainingBlocks;
  int32_t currentType;
  char fileName[ks::cab::kTextBytes];
  char previousCabinet[ks::cab::kTextBytes];
  char previousDisk[ks::cab::kTextBytes];
  char nextCabinet[ks::cab::kTextBytes];
  char nextDisk[ks::cab::kTextBytes];
  char cabinetPath[ks::cab::kTextBytes];
  char fullName[ks::cab::kTextBytes];
  // The next cabinet being looked for while spanning: opening a candidate
  // rewrites nextCabinet and nextDisk, so the names asked for are kept here.
  char pendingCabinet[ks::cab::kTextBytes];
  char pendingDisk[ks::cab::kTextBytes];
  CabinetNotification notification;
  CabinetHookInfo hookInfo;
  // The sorted data starts of the current cabinet's folders that have
  // blocks, and where the current folder's data has got to and must end
  // (cabinet_folder_ranges.cpp).
  uint32_t* folderStarts;
  uint32_t folderStartCount;
  uint32_t folderStartCapacity;
  uint64_t dataPosition;
  uint64_t dataLimit;
};

namespace ks::cab {

// Records an error and returns false, so failures read `return fail(...)`.
bool fail(CabinetDecoder& c, int32_t code, int32_t detail = 0);

// Copies at most 256 characters of text into a 257-byte buffer, NUL-terminated.
void copyText(char* buffer, const char* text);

// Header and cabinet opening (cabinet_header.cpp). expectSet: check setID and
// iCabinet against the given values (a next cabinet of the set).
bool openCabinet(CabinetDecoder& c, const char* name, bool expectSet, uint16_t setId,
                 uint16_t cabinetIndex);
bool readName(CabinetDecoder& c, char* buffer);
// Closes the data and file-list handles that are open; false when a close fails.
bool closeCabinetHandles(CabinetDecoder& c);

// File list (cabinet_files.cpp).
bool readFileEntry(CabinetDecoder& c);

// Folders and decoders (cabinet_folders.cpp, cabinet_decoders.cpp).
bool selectFolder(CabinetDecoder& c, uint16_t iFolder);
// continued: the entry continues the live folder from the previous cabinet, so
// its compression type must be the live decoder's.
bool readFolderEntry(CabinetDecoder& c, int32_t index, bool continued);
bool switchDecoder(CabinetDecoder& c, int32_t type);
// Runs the MSZIP or Quantum operation on the live decoder; DECODER_OK for
// stored data or no decoder.
DecoderResult onLiveDecoder(CabinetDecoder& c, DecoderResult (*mszip)(MszipDecoder*),
                            DecoderResult (*quantum)(QuantumDecoder*));
bool decodeBlock(CabinetDecoder& c, uint32_t expected);

// Folder data ranges (cabinet_folder_ranges.cpp). readFolderStarts reads the
// folder table where the file-list handle stands and fails for two folders
// that begin at the same block; the current folder's data then begins at
// start and takes bytes, which must stay short of the next folder's start.
bool readFolderStarts(CabinetDecoder& c);
void beginFolderData(CabinetDecoder& c, uint32_t start);
bool takeFolderData(CabinetDecoder& c, uint32_t bytes);
void freeFolderStarts(CabinetDecoder& c);

// Data blocks (cabinet_blocks.cpp).
bool readNextBlock(CabinetDecoder& c);
uint16_t heldCompressedSize(const CabinetDecoder& c);
uint16_t heldUncompressedSize(const CabinetDecoder& c);

// Spanning (cabinet_spanning.cpp).
bool moveToNextCabinet(CabinetDecoder& c);

// Extraction of the current file entry into the output handle (cabinet_extract.cpp).
bool extractFile(CabinetDecoder& c);

}  // namespace ks::cab
