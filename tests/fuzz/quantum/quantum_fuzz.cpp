// Fuzzes the Quantum decoder and our encoder.
//
// Input layout: byte 0 gives the window bits (10 + byte0 % 12); byte 1:
//   bit 0     the window in the spill file (alloc refuses the window; for
//             10 to 13 bits creation then fails with out of memory)
//   bit 1     round trip: the rest is plain data, compressed by our encoder
//             in blocks of (byte 2 * 128 + 1) bytes and decoded again; it
//             must come back unchanged
//   bit 2     reset the decoder after the first block
// Otherwise the rest is blocks: a 16-bit little-endian output size (modulo
// 32769), a 16-bit length and that many compressed bytes (the last block
// takes what is left).
//
// Checks: no access outside the input, output, window or pages
// (sanitizers); results are the decoder's result codes.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <span>
#include <vector>

#include "cabinet/quantum.h"
#include "tools/cabwriter/quantum_encoder.h"

namespace {

uint32_t gRefuseAbove = UINT32_MAX;
void* fuzzAlloc(uint32_t size) {
  return size > gRefuseAbove ? nullptr : std::malloc(size);
}
void fuzzFree(void* memory) {
  std::free(memory);
}

// The spill file "*" in memory.
std::map<int32_t, std::vector<uint8_t>> gFiles;
std::map<int32_t, uint32_t> gPositions;
int32_t gNextHandle = 1;

int32_t spillOpen(const char* name, int32_t, int32_t) {
  if (name[0] != '*' || name[1] != '\0') return -1;
  gFiles[gNextHandle] = {};
  gPositions[gNextHandle] = 0;
  return gNextHandle++;
}
uint32_t spillRead(int32_t handle, void* buffer, uint32_t count) {
  auto& file = gFiles.at(handle);
  uint32_t& position = gPositions.at(handle);
  const uint32_t available =
      position < file.size() ? static_cast<uint32_t>(file.size()) - position : 0;
  const uint32_t n = std::min(count, available);
  std::memcpy(buffer, file.data() + position, n);
  position += n;
  return n;
}
uint32_t spillWrite(int32_t handle, const void* buffer, uint32_t count) {
  auto& file = gFiles.at(handle);
  uint32_t& position = gPositions.at(handle);
  if (file.size() < position + count) file.resize(position + count);
  std::memcpy(file.data() + position, buffer, count);
  position += count;
  return count;
}
int32_t spillClose(int32_t handle) {
  gFiles.erase(handle);
  gPositions.erase(handle);
  return 0;
}
int32_t spillSeek(int32_t handle, int32_t offset, int32_t origin) {
  uint32_t& position = gPositions.at(handle);
  position = static_cast<uint32_t>(origin == 0 ? offset : static_cast<int32_t>(position) + offset);
  return static_cast<int32_t>(position);
}

QuantumDecoder* createDecoder(int windowBits, bool spill) {
  gRefuseAbove = spill ? (uint32_t{1} << windowBits) - 1 : UINT32_MAX;
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  QuantumConfiguration configuration{windowBits, 1};
  QuantumDecoder* decoder = nullptr;
  const DecoderResult result =
      quantumCreate(&maximum, &configuration, fuzzAlloc, fuzzFree, &inputSize, &decoder, spillOpen,
                    spillRead, spillWrite, spillClose, spillSeek);
  if (result != DECODER_OK && !(result == DECODER_OUT_OF_MEMORY && spill && windowBits < 14)) {
    std::abort();
  }
  return decoder;
}

// Decodes one block from an exactly-sized copy of its bytes.
DecoderResult decodeBlock(QuantumDecoder* decoder, std::span<const uint8_t> compressed,
                          uint32_t outputSize, std::vector<uint8_t>& output) {
  uint8_t* exact = nullptr;
  if (!compressed.empty()) {
    exact = static_cast<uint8_t*>(std::malloc(compressed.size()));
    std::memcpy(exact, compressed.data(), compressed.size());
  }
  uint32_t size = outputSize;
  const DecoderResult result = quantumDecompress(
      decoder, exact, static_cast<uint32_t>(compressed.size()), output.data(), &size);
  std::free(exact);
  if (size != outputSize) std::abort();
  if (result != DECODER_OK && result != DECODER_FAILED) std::abort();
  return result;
}

void roundTrip(QuantumDecoder* decoder, int windowBits, std::span<const uint8_t> data,
               size_t blockSize) {
  ks::cabwriter::QuantumEncoder encoder(windowBits);
  std::vector<uint8_t> output(32768);
  std::vector<uint8_t> compressed;
  size_t offset = 0;
  do {
    const size_t size = std::min(blockSize, data.size() - offset);
    if (!encoder.encodeBlock(data.subspan(offset, size), compressed)) std::abort();
    if (decodeBlock(decoder, compressed, static_cast<uint32_t>(size), output) != DECODER_OK) {
      std::abort();
    }
    if (size != 0 && std::memcmp(output.data(), data.data() + offset, size) != 0) std::abort();
    offset += size;
  } while (offset < data.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int windowBits = 10 + data[0] % 12;
  const uint8_t flags = data[1];
  QuantumDecoder* decoder = createDecoder(windowBits, (flags & 1) != 0);
  if (decoder == nullptr) return 0;

  if ((flags & 2) != 0) {
    roundTrip(decoder, windowBits, std::span(data + 3, size - 3), size_t{data[2]} * 128 + 1);
  } else {
    std::vector<uint8_t> output(32768);
    size_t offset = 2;
    bool first = true;
    while (offset + 4 <= size) {
      const uint32_t outputSize = (data[offset] | (data[offset + 1] << 8)) % 32769;
      const size_t declared = data[offset + 2] | (data[offset + 3] << 8);
      offset += 4;
      const size_t length = std::min(declared, size - offset);
      decodeBlock(decoder, std::span(data + offset, length), outputSize, output);
      offset += length;
      if (first && (flags & 4) != 0 && quantumReset(decoder) != DECODER_OK) std::abort();
      first = false;
    }
  }
  if (quantumDestroy(decoder) != DECODER_OK) std::abort();
  if (!gFiles.empty()) std::abort();  // the spill file was closed
  return 0;
}
