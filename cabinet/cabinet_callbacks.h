#ifndef KS_CABINET_CABINET_CALLBACKS_H
#define KS_CABINET_CABINET_CALLBACKS_H
/* The seven memory and file callbacks of the cabinet library. The public header cabinet/cabinet.h
   uses these types; the decoders (mszip.h, quantum.h) take them directly. The file callbacks follow
   the runtime's low-level file calls (_open, _read, _write, _close, _lseek) and use the flag and
   mode values of _open. Plain C. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Returns a block of `size` bytes, or null on failure. */
typedef void* (*CabinetAlloc)(uint32_t size);

/* Releases a block returned by CabinetAlloc. */
typedef void (*CabinetFree)(void* memory);

/* Opens `name` with _open flags and mode; returns a handle, or -1 on failure.
   Cabinets: flags 0x8000 (raw, read-only), mode 0x180. The Quantum decoder's
   spill file: the name "*" followed, after its NUL, by the window size as a
   32-bit little-endian integer; flags 0x8102 (raw, create, read-write). */
typedef int32_t (*CabinetOpen)(const char* name, int32_t flags, int32_t mode);

/* Reads up to `count` bytes; returns the number of bytes read. */
typedef uint32_t (*CabinetRead)(int32_t handle, void* buffer, uint32_t count);

/* Writes `count` bytes; returns the number of bytes written. */
typedef uint32_t (*CabinetWrite)(int32_t handle, const void* buffer, uint32_t count);

/* Closes the handle; returns 0 on success. */
typedef int32_t (*CabinetClose)(int32_t handle);

/* Moves the file position; origin 0 counts from the start of the file, 1 from
   the current position. Returns the new position, or -1 on failure. */
typedef int32_t (*CabinetSeek)(int32_t handle, int32_t offset, int32_t origin);

/* _open flag and mode values used by the library. */
#define CABINET_OPEN_READ_ONLY 0x0000
#define CABINET_OPEN_READ_WRITE 0x0002
#define CABINET_OPEN_CREATE 0x0100
#define CABINET_OPEN_RAW 0x8000
#define CABINET_OPEN_MODE_READ_WRITE 0x0180

#ifdef __cplusplus
}
#endif

#endif /* KS_CABINET_CABINET_CALLBACKS_H */
