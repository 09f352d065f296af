#pragma once
// MSZIP blocks for our cabinet writer: each block of a folder (at most 32768
// bytes) becomes "CK" and a raw DEFLATE stream from zlib, with the previous
// block of the folder as the preset dictionary, so that matches may reach
// back into it as the decoder's history allows.

#include <cstdint>
#include <span>
#include <vector>

namespace ks::cabwriter {

class MszipEncoder {
 public:
  static constexpr uint32_t kMaxBlockSize = 32768;
  // The decoder's input buffer: a block may be 12 bytes larger than its data.
  static constexpr uint32_t kMaxCompressedBlockSize = kMaxBlockSize + 12;

  // Compresses the folder's next block into `compressed` (replacing its
  // contents). False for a block above 32768 bytes or a zlib failure.
  bool encodeBlock(std::span<const uint8_t> block, std::vector<uint8_t>& compressed);

  // Starts a new folder: no dictionary.
  void reset() { previous_.clear(); }

 private:
  std::vector<uint8_t> previous_;
};

}  // namespace ks::cabwriter
