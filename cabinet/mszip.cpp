// Placeholder until the decoder lands.
#include "cabinet/mszip.h"

extern "C" DecoderResult mszipCreate(uint32_t*, CabinetAlloc, CabinetFree, uint32_t*,
                                     MszipDecoder**) {
  return DECODER_OUT_OF_MEMORY;
}
extern "C" DecoderResult mszipDecompress(MszipDecoder*, const uint8_t*, uint32_t, uint8_t*,
                                         uint32_t*) {
  return DECODER_BAD_HANDLE;
}
extern "C" DecoderResult mszipReset(MszipDecoder*) { return DECODER_BAD_HANDLE; }
extern "C" DecoderResult mszipDestroy(MszipDecoder*) { return DECODER_BAD_HANDLE; }
