#ifndef KS_CABINET_MSZIP_H
#define KS_CABINET_MSZIP_H
/* The MSZIP decoder: turns one MSZIP data block of a cabinet folder
   ("CK" + a DEFLATE stream, RFC 1951) into its uncompressed bytes. Used only
   by the cabinet reader. Plain C interface.

   Calling contract: the caller passes the same 32768-byte output buffer to
   every mszipDecompress of a folder; it still holds the previous block's
   output, which serves as the history for matches that reach back into the
   previous block. Every block except a folder's last decodes to exactly 32768
   bytes. */

#include <stdint.h>

#include "cabinet/cabinet_callbacks.h"
#include "cabinet/decoder_result.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Largest uncompressed block, and the input slack the decoder accepts beyond
   it (a DEFLATE stream of incompressible data grows a little). */
#define MSZIP_MAX_BLOCK_SIZE 32768u
#define MSZIP_INPUT_SLACK 12u

typedef struct MszipDecoder MszipDecoder;

/* maximumBlockSize (in/out): 0 or above 32768 becomes 32768.
   inputBufferSize (out): maximumBlockSize + 12.
   handle (out): null makes this a query that allocates nothing.
   Results: DECODER_OK, DECODER_OUT_OF_MEMORY. */
DecoderResult mszipCreate(uint32_t* maximumBlockSize, CabinetAlloc alloc, CabinetFree free,
                          uint32_t* inputBufferSize, MszipDecoder** handle);

/* Decodes one block. outputSize: in, the bytes allowed; out, the bytes
   produced. Results: DECODER_OK, DECODER_BAD_HANDLE, DECODER_BUFFER_OVERFLOW
   (inputSize above maximumBlockSize + 12), DECODER_FAILED. */
DecoderResult mszipDecompress(MszipDecoder* handle, const uint8_t* input, uint32_t inputSize,
                              uint8_t* output, uint32_t* outputSize);

/* Called at each folder change; changes nothing. DECODER_OK or
   DECODER_BAD_HANDLE. */
DecoderResult mszipReset(MszipDecoder* handle);

/* Frees the decoder. DECODER_OK or DECODER_BAD_HANDLE. */
DecoderResult mszipDestroy(MszipDecoder* handle);

#ifdef __cplusplus
}
#endif

#endif /* KS_CABINET_MSZIP_H */
