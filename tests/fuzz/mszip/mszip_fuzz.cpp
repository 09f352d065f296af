// Fuzzes the MSZIP decoder as the cabinet reader drives it: one
// decoder and one 32768-byte output buffer for a folder of blocks.
//
// Input layout: byte 0 configures the run:
//   bit 0     put "CK" in front of every block (so most inputs reach DEFLATE)
//   bits 1-2  bytes allowed per block: 32768, 1, 258 + byte 1, 32768 - byte 1
//   bit 3     maximum block size 1000 instead of 32768
// byte 1: a parameter for the above; then blocks, each a 16-bit
// little-endian length and that many bytes (the last one takes the rest).
//
// Checks: no access outside the input or the buffer (sanitizers), the result
// is one of the decoder's result codes, the produced size never exceeds what
// was allowed, and a first block that zlib's inflate decodes completely
// (into at most 32768 bytes) decodes to the same bytes when ours succeeds.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cabinet/mszip.h"

namespace {

void* fuzzAlloc(uint32_t size) {
  return std::malloc(size);
}
void fuzzFree(void* memory) {
  std::free(memory);
}

// zlib's raw inflate of the DEFLATE data; true when it reached the stream's
// end with at most 32768 bytes of output.
bool zlibInflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) return false;
  out.assign(32768 + 1, 0);
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  int result = inflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  inflateEnd(&stream);
  return result == Z_STREAM_END && out.size() <= 32768;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t flags = data[0];
  const uint8_t parameter = data[1];
  const bool prefixCk = (flags & 1) != 0;
  uint32_t allowed = 32768;
  switch ((flags >> 1) & 3) {
    case 1:
      allowed = 1;
      break;
    case 2:
      allowed = 258 + parameter;
      break;
    case 3:
      allowed = 32768 - parameter;
      break;
    default:
      break;
  }
  uint32_t maximum = (flags & 8) ? 1000 : 32768;
  uint32_t inputBufferSize = 0;
  MszipDecoder* decoder = nullptr;
  if (mszipCreate(&maximum, fuzzAlloc, fuzzFree, &inputBufferSize, &decoder) != DECODER_OK) {
    return 0;
  }
  std::vector<uint8_t> output(32768);
  size_t offset = 2;
  bool first = true;
  while (offset < size) {
    size_t length = size - offset;
    if (length >= 2) {
      const size_t declared = data[offset] | (data[offset + 1] << 8);
      offset += 2;
      length = declared < size - offset ? declared : size - offset;
    } else {
      offset = size;
      length = 0;
    }
    // The block in a buffer of exactly its size, so reads past it are seen.
    std::vector<uint8_t> block;
    if (prefixCk) block = {'C', 'K'};
    block.insert(block.end(), data + offset, data + offset + length);
    offset += length;
    uint8_t* exact = nullptr;
    if (!block.empty()) {
      exact = static_cast<uint8_t*>(std::malloc(block.size()));
      std::memcpy(exact, block.data(), block.size());
    }

    uint32_t produced = allowed;
    const DecoderResult result = mszipDecompress(
        decoder, exact, static_cast<uint32_t>(block.size()), output.data(), &produced);
    if (result != DECODER_OK && result != DECODER_FAILED && result != DECODER_BUFFER_OVERFLOW) {
      std::abort();
    }
    if (result == DECODER_OK && produced > allowed) std::abort();
    if (first && result == DECODER_OK && allowed == 32768 && maximum == 32768 &&
        block.size() >= 2 && block[0] == 'C' && block[1] == 'K') {
      std::vector<uint8_t> reference;
      if (zlibInflate(block.data() + 2, block.size() - 2, reference) &&
          (reference.size() != produced ||
           std::memcmp(reference.data(), output.data(), produced) != 0)) {
        std::abort();
      }
    }
    std::free(exact);
    first = false;
  }
  if (mszipReset(decoder) != DECODER_OK || mszipDestroy(decoder) != DECODER_OK) std::abort();
  return 0;
}
