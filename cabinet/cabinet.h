#ifndef KS_CABINET_CABINET_H
#define KS_CABINET_CABINET_H
/* The cabinet decoding library: reads cabinet archives ("MSCF", format 1.3)
 * with stored, MSZIP or Quantum folders and hands every file to the caller.
 * The library does no file or memory work of its own: everything goes through
 * the callbacks given to cabinetCreate. Plain C interface, no exceptions. */

#include <stdint.h>

#include "cabinet/cabinet_callbacks.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes. The values are part of the interface. */
typedef enum CabinetErrorCode {
  CAB_ERROR_NONE = 0,
  CAB_ERROR_CABINET_NOT_FOUND = 1,
  CAB_ERROR_NOT_A_CABINET = 2,
  CAB_ERROR_UNSUPPORTED_VERSION = 3,
  CAB_ERROR_CORRUPT_CABINET = 4,
  CAB_ERROR_OUT_OF_MEMORY = 5,
  CAB_ERROR_BAD_COMPRESSION_TYPE = 6,
  CAB_ERROR_DECOMPRESSION_FAILED = 7,
  CAB_ERROR_TARGET_FILE = 8,
  CAB_ERROR_RESERVE_MISMATCH = 9,
  CAB_ERROR_WRONG_CABINET = 10,
  CAB_ERROR_USER_ABORT = 11
} CabinetErrorCode;

/* Owned by the caller; must outlive the context. Every error overwrites code
 * and detail and sets failed; nothing is ever cleared by the library. */
typedef struct CabinetError {
  int32_t code;   /* a CabinetErrorCode */
  int32_t detail; /* the version found for CAB_ERROR_UNSUPPORTED_VERSION, else 0 */
  int32_t failed; /* 1 after any error */
} CabinetError;

/* Filled by cabinetIsCabinet. */
typedef struct CabinetInfo {
  int32_t totalSize;
  uint16_t folderCount;
  uint16_t fileCount;
  uint16_t setId;
  uint16_t cabinetIndex;
  int32_t hasReserve;
  int32_t hasPrevious;
  int32_t hasNext; /* 2 when the cabinet continues into a next one */
} CabinetInfo;

typedef enum CabinetNotifyKind {
  CAB_NOTIFY_CABINET_INFO = 0,
  CAB_NOTIFY_PARTIAL_FILE = 1,
  CAB_NOTIFY_COPY_FILE = 2,
  CAB_NOTIFY_CLOSE_FILE = 3,
  CAB_NOTIFY_NEXT_CABINET = 4
} CabinetNotifyKind;

/* One record per context, reused for every notification: fields not set for a
 * kind keep what an earlier notification left. */
typedef struct CabinetNotification {
  int32_t size;
  char* text1;
  char* text2;
  char* text3;
  intptr_t userValue;
  int32_t fileHandle;
  uint16_t date;
  uint16_t time;
  uint16_t attributes;
  uint16_t setId;
  uint16_t cabinetIndex;
  uint16_t folderIndex;
  int32_t error;
} CabinetNotification;

/* -1 aborts the copy with CAB_ERROR_USER_ABORT. */
typedef int32_t (*CabinetNotify)(int32_t kind, CabinetNotification* notification);

typedef enum CabinetHookKind {
  CAB_HOOK_NEW_CABINET = 0,
  CAB_HOOK_NEW_FOLDER = 1,
  CAB_HOOK_DATA_BLOCK = 2
} CabinetHookKind;

typedef struct CabinetHookCabinet {
  uint8_t* headerReserve;     /* null while no header reserve area was read */
  uint16_t headerReserveSize; /* 0xFFFF while no cabinet had reserve fields */
  uint16_t setId;
  int32_t cabinetIndex;
} CabinetHookCabinet;

typedef struct CabinetHookFolder {
  uint8_t* folderReserve; /* null when the folders carry no reserve */
  uint16_t folderReserveSize;
  uint16_t folderIndex;
} CabinetHookFolder;

typedef struct CabinetHookBlock {
  uint8_t* dataReserve; /* null when the blocks carry no reserve */
  uint16_t dataReserveSize;
  uint8_t* data;           /* the block's compressed bytes so far; may be rewritten */
  uint16_t compressedSize; /* bytes at data (both parts of a split block) */
  int32_t split;
  uint16_t partialSize; /* size of the first part: the part just read starts here */
} CabinetHookBlock;

typedef struct CabinetHookInfo {
  int32_t kind; /* a CabinetHookKind */
  intptr_t userValue;
  union {
    CabinetHookCabinet cabinet;
    CabinetHookFolder folder;
    CabinetHookBlock block;
  } u;
} CabinetHookInfo;

/* -1 aborts the copy with CAB_ERROR_USER_ABORT. */
typedef int32_t (*CabinetBlockHook)(CabinetHookInfo* info);

typedef struct CabinetDecoder CabinetDecoder;

/* Null (with CAB_ERROR_OUT_OF_MEMORY) when the context cannot be allocated. */
CabinetDecoder* cabinetCreate(CabinetAlloc alloc, CabinetFree free, CabinetOpen open,
                              CabinetRead read, CabinetWrite write, CabinetClose close,
                              CabinetSeek seek, int32_t cpuType, CabinetError* error);

/* Reads 36 bytes from the caller's handle at its position. 1 for a cabinet of
 * version 1.3 (info filled); 0 otherwise, and the error record is only touched
 * for an unsupported version. */
int32_t cabinetIsCabinet(CabinetDecoder* context, int32_t handle, CabinetInfo* info);

/* Opens path + name (no separator inserted) and offers every file entry to
 * notify. 1 when all entries were handled, 0 on failure. */
int32_t cabinetCopy(CabinetDecoder* context, const char* name, const char* path, int32_t flags,
                    CabinetNotify notify, CabinetBlockHook hook, intptr_t userValue);

/* Frees everything the context holds. Always 1. */
int32_t cabinetDestroy(CabinetDecoder* context);

#ifdef __cplusplus
}
#endif

#endif /* KS_CABINET_CABINET_H */
