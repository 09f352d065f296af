// Placeholder until the decoder lands.
#include "cabinet/quantum.h"

extern "C" DecoderResult quantumCreate(uint32_t*, const QuantumConfiguration*, CabinetAlloc,
                                       CabinetFree, uint32_t*, QuantumDecoder**, CabinetOpen,
                                       CabinetRead, CabinetWrite, CabinetClose, CabinetSeek) {
  return DECODER_OUT_OF_MEMORY;
}
extern "C" DecoderResult quantumDecompress(QuantumDecoder*, const uint8_t*, uint32_t, uint8_t*,
                                           uint32_t*) {
  return DECODER_BAD_HANDLE;
}
extern "C" DecoderResult quantumReset(QuantumDecoder*) {
  return DECODER_BAD_HANDLE;
}
extern "C" DecoderResult quantumDestroy(QuantumDecoder*) {
  return DECODER_BAD_HANDLE;
}
