#pragma once
// Our Quantum compressor: produces the data blocks that the Quantum decoder
// (cabinet/quantum.h) reads. One encoder serves one cabinet
// folder: it is fed the folder's uncompressed stream block by block (each
// block at most 32768 bytes, as the CFDATA blocks will hold it) and returns
// each block's compressed bytes. The window and the models carry over from
// block to block, as in the decoder; each block restarts the arithmetic coder
// and ends on a byte boundary, and no match crosses a block's end.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace ks::cabwriter {

class QuantumEncoder {
 public:
  static constexpr uint32_t kMaxBlockSize = 32768;
  // The decoder's input buffer for a 32768-byte block is 32768 + 10240 bytes;
  // a block whose compressed form would not fit is refused.
  static constexpr uint32_t kMaxCompressedBlockSize = 32768 + 10240;

  // windowBits: 10 to 21; the folder's compression type is then
  // 0x0002 | windowBits << 8 (bits 4 to 7, a level, are ignored by the
  // decoder). Out-of-range values make every encodeBlock fail.
  explicit QuantumEncoder(int windowBits);
  ~QuantumEncoder();
  QuantumEncoder(const QuantumEncoder&) = delete;
  QuantumEncoder& operator=(const QuantumEncoder&) = delete;

  // Compresses the folder's next block (0 to 32768 bytes) into `compressed`
  // (replacing its contents). False for a bad window size, an oversized block
  // or a compressed size above kMaxCompressedBlockSize.
  bool encodeBlock(std::span<const uint8_t> block, std::vector<uint8_t>& compressed);

  // Starts a new folder: empty window, fresh models (the decoder's reset).
  void reset();

  int windowBits() const { return windowBits_; }

 private:
  struct State;
  int windowBits_;
  std::unique_ptr<State> state_;
};

}  // namespace ks::cabwriter
