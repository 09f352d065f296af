// The live decoder: created for a folder's compression type, kept while the
// type (all 16 bits) stays the same, and with it the input and output buffers.

#include <cstring>

#include "cabinet/cabinet_bytes.h"
#include "cabinet/cabinet_context.h"

namespace ks::cab {

namespace {

constexpr uint32_t kQuantumWindowShift = 8;
constexpr uint32_t kQuantumWindowMask = 0x1F;

void freeBuffers(CabinetDecoder& c) {
  if (c.input != nullptr) c.free(c.input);
  if (c.output != nullptr) c.free(c.output);
  c.input = nullptr;
  c.output = nullptr;
}

bool tearDown(CabinetDecoder& c) {
  if (c.currentType == kNoDecoder) return true;
  const DecoderResult result = onLiveDecoder(c, mszipDestroy, quantumDestroy);
  c.decoder.mszip = nullptr;
  freeBuffers(c);
  c.currentType = kNoDecoder;
  return result == DECODER_OK || fail(c, CAB_ERROR_DECOMPRESSION_FAILED);
}

QuantumConfiguration quantumConfiguration(const CabinetDecoder& c, int32_t type) {
  return QuantumConfiguration{
      .windowBits = static_cast<int32_t>((static_cast<uint32_t>(type) >> kQuantumWindowShift) &
                                         kQuantumWindowMask),
      .cpuType = c.cpuType};
}

// The input buffer size the decoder asks for (query form: nothing allocated).
bool queryInputSize(CabinetDecoder& c, int32_t type) {
  uint32_t maximumBlock = kBlockBytes;
  DecoderResult result = DECODER_OK;
  switch (type & kTypeMask) {
    case kTypeStored:
      c.inputSize = kBlockBytes;
      return true;
    case kTypeMszip:
      result = mszipCreate(&maximumBlock, c.alloc, c.free, &c.inputSize, nullptr);
      break;
    case kTypeQuantum: {
      const QuantumConfiguration configuration = quantumConfiguration(c, type);
      result = quantumCreate(&maximumBlock, &configuration, c.alloc, c.free, &c.inputSize, nullptr,
                             c.open, c.read, c.write, c.close, c.seek);
      break;
    }
    default:
      return fail(c, CAB_ERROR_BAD_COMPRESSION_TYPE);
  }
  return result == DECODER_OK || fail(c, CAB_ERROR_DECOMPRESSION_FAILED);
}

bool allocateBuffers(CabinetDecoder& c) {
  c.input = static_cast<uint8_t*>(c.alloc(c.inputSize));
  if (c.input == nullptr) return fail(c, CAB_ERROR_OUT_OF_MEMORY);
  c.output = static_cast<uint8_t*>(c.alloc(c.outputSize));
  if (c.output == nullptr) {
    freeBuffers(c);
    return fail(c, CAB_ERROR_OUT_OF_MEMORY);
  }
  std::memset(c.output, 0, c.outputSize);
  return true;
}

bool createDecoderHandle(CabinetDecoder& c, int32_t type) {
  uint32_t maximumBlock = kBlockBytes;
  uint32_t inputSize = 0;
  DecoderResult result = DECODER_OK;
  if ((type & kTypeMask) == kTypeMszip) {
    result = mszipCreate(&maximumBlock, c.alloc, c.free, &inputSize, &c.decoder.mszip);
  } else if ((type & kTypeMask) == kTypeQuantum) {
    const QuantumConfiguration configuration = quantumConfiguration(c, type);
    result = quantumCreate(&maximumBlock, &configuration, c.alloc, c.free, &inputSize,
                           &c.decoder.quantum, c.open, c.read, c.write, c.close, c.seek);
  }
  if (result == DECODER_OK) return true;
  freeBuffers(c);
  return fail(c, result == DECODER_OUT_OF_MEMORY ? CAB_ERROR_OUT_OF_MEMORY
                                                 : CAB_ERROR_DECOMPRESSION_FAILED);
}

bool createDecoder(CabinetDecoder& c, int32_t type) {
  c.outputSize = kBlockBytes;
  if (!queryInputSize(c, type) || !allocateBuffers(c) || !createDecoderHandle(c, type)) {
    c.currentType = kNoDecoder;
    return false;
  }
  return true;
}

}  // namespace

DecoderResult onLiveDecoder(CabinetDecoder& c, DecoderResult (*mszip)(MszipDecoder*),
                            DecoderResult (*quantum)(QuantumDecoder*)) {
  if (c.currentType == kNoDecoder) return DECODER_OK;
  switch (c.currentType & kTypeMask) {
    case kTypeMszip:
      return mszip(c.decoder.mszip);
    case kTypeQuantum:
      return quantum(c.decoder.quantum);
    default:
      return DECODER_OK;
  }
}

bool switchDecoder(CabinetDecoder& c, int32_t type) {
  if (type == c.currentType) return true;
  if (!tearDown(c)) return false;
  if (type == kNoDecoder) return true;
  c.currentType = type;
  return createDecoder(c, type);
}

bool decodeBlock(CabinetDecoder& c, uint32_t expected) {
  uint32_t produced = 0;
  const uint32_t size = heldCompressedSize(c);
  DecoderResult result = DECODER_OK;
  switch (c.currentType & kTypeMask) {
    case kTypeStored:
      // size never exceeds the input buffer, which is as large as the output.
      std::memcpy(c.output, c.input, size);
      produced = size;
      break;
    case kTypeMszip:
      produced = c.outputSize;
      result = mszipDecompress(c.decoder.mszip, c.input, size, c.output, &produced);
      break;
    case kTypeQuantum:
      produced = expected;
      result = quantumDecompress(c.decoder.quantum, c.input, size, c.output, &produced);
      break;
    default:
      return fail(c, CAB_ERROR_BAD_COMPRESSION_TYPE);
  }
  if (result != DECODER_OK || produced != expected) return fail(c, CAB_ERROR_DECOMPRESSION_FAILED);
  return true;
}

}  // namespace ks::cab
