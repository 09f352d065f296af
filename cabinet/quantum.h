#ifndef KS_CABINET_QUANTUM_H
#define KS_CABINET_QUANTUM_H
/* The Quantum decoder: turns one Quantum data block of a cabinet
   folder into its uncompressed bytes. The window (1 KB to 2 MB) and the
   models carry over from block to block until quantumReset; each block
   restarts the arithmetic decoder. When the window cannot be allocated in
   memory it is kept in a spill file opened through the open callback with the
   special name "*" (see cabinet_callbacks.h), with a cache of 4096-byte pages.
   Used only by the cabinet reader. Plain C interface.

   One working state exists per process: at most one QuantumDecoder may exist
   at a time, used by one thread at a time. */

#include <stdint.h>

#include "cabinet/cabinet_callbacks.h"
#include "cabinet/decoder_result.h"

#ifdef __cplusplus
extern "C" {
#endif

#define QUANTUM_MAX_BLOCK_SIZE 32768u
#define QUANTUM_INPUT_SLACK 10240u
#define QUANTUM_MIN_WINDOW_BITS 10
#define QUANTUM_MAX_WINDOW_BITS 21

/* The spill file's open flags (raw, create, read-write) and mode. */
#define QUANTUM_SPILL_OPEN_FLAGS 0x8102
#define QUANTUM_SPILL_OPEN_MODE 0x0180

/* The configuration that the cabinet reader derives from the folder's
   compression type: windowBits = (typeCompress >> 8) & 0x1F. */
typedef struct QuantumConfiguration {
  int32_t windowBits; /* 10 to 21 */
  int32_t cpuType;    /* stored, no effect on decoding */
} QuantumConfiguration;

typedef struct QuantumDecoder QuantumDecoder;

/* maximumBlockSize (in/out): 0 or above 32768 becomes 32768.
   inputBufferSize (out): maximumBlockSize + 10240.
   handle (out): null makes this a query that allocates nothing.
   Results: DECODER_OK, DECODER_OUT_OF_MEMORY, DECODER_BAD_CONFIGURATION. */
DecoderResult quantumCreate(uint32_t* maximumBlockSize, const QuantumConfiguration* configuration,
                            CabinetAlloc alloc, CabinetFree free, uint32_t* inputBufferSize,
                            QuantumDecoder** handle, CabinetOpen open, CabinetRead read,
                            CabinetWrite write, CabinetClose close, CabinetSeek seek);

/* Decodes one block into exactly *outputSize bytes (left unchanged).
   Results: DECODER_OK, DECODER_BAD_HANDLE, DECODER_BUFFER_OVERFLOW (output
   size above the maximum block size), DECODER_FAILED. */
DecoderResult quantumDecompress(QuantumDecoder* handle, const uint8_t* input, uint32_t inputSize,
                                uint8_t* output, uint32_t* outputSize);

/* Starts a new folder: window position 0, models and page cache reset, spill
   error cleared. DECODER_OK or DECODER_BAD_HANDLE. */
DecoderResult quantumReset(QuantumDecoder* handle);

/* Frees the window (or the page cache, closing the spill file) and the handle.
   DECODER_OK or DECODER_BAD_HANDLE. */
DecoderResult quantumDestroy(QuantumDecoder* handle);

#ifdef __cplusplus
}
#endif

#endif /* KS_CABINET_QUANTUM_H */
