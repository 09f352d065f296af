#ifndef KS_CABINET_DECODER_RESULT_H
#define KS_CABINET_DECODER_RESULT_H
/* The result of every operation of the MSZIP and Quantum decoders.
   The values are part of the library's internal interface: the
   cabinet reader maps them onto CabinetError codes. */

typedef enum DecoderResult {
  DECODER_OK = 0,               /* success */
  DECODER_OUT_OF_MEMORY = 1,    /* an allocation failed */
  DECODER_BAD_HANDLE = 2,       /* the handle's tag is wrong */
  DECODER_BUFFER_OVERFLOW = 3,  /* input (MSZIP) or requested output (Quantum) too large */
  DECODER_FAILED = 4,           /* the block is not valid compressed data */
  DECODER_BAD_CONFIGURATION = 5 /* (Quantum only) window size out of range */
} DecoderResult;

#endif /* KS_CABINET_DECODER_RESULT_H */
