#pragma once
// MSZIP blocks made with zlib, as a cabinet writer makes them: the folder's
// data cut into 32768-byte blocks, each compressed as a complete raw DEFLATE
// stream with the previous 32768 bytes as preset dictionary, and "CK" in
// front. Shared by the MSZIP tests, fuzz seeds and benchmarks.

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

namespace ks::samples {

inline constexpr uint32_t kMszipBlockSize = 32768;

inline std::vector<uint8_t> deflateMszipBlock(std::span<const uint8_t> block,
                                              std::span<const uint8_t> dictionary, int level,
                                              int strategy) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  if (!dictionary.empty()) {
    deflateSetDictionary(&stream, dictionary.data(), static_cast<uInt>(dictionary.size()));
  }
  std::vector<uint8_t> out(2 + deflateBound(&stream, static_cast<uLong>(block.size())) + 64);
  out[0] = 'C';
  out[1] = 'K';
  stream.next_in = const_cast<Bytef*>(block.data());
  stream.avail_in = static_cast<uInt>(block.size());
  stream.next_out = out.data() + 2;
  stream.avail_out = static_cast<uInt>(out.size() - 2);
  int result = deflate(&stream, Z_FINISH);
  out.resize(2 + stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

// The blocks of one folder: every block 32768 bytes but the last; an empty
// folder gives one block of an empty stream.
inline std::vector<std::vector<uint8_t>> mszipCompressFolder(std::span<const uint8_t> data,
                                                             int level = Z_DEFAULT_COMPRESSION,
                                                             int strategy = Z_DEFAULT_STRATEGY) {
  std::vector<std::vector<uint8_t>> blocks;
  size_t offset = 0;
  do {
    size_t size = std::min<size_t>(kMszipBlockSize, data.size() - offset);
    std::span<const uint8_t> dictionary;
    if (offset >= kMszipBlockSize) {
      dictionary = data.subspan(offset - kMszipBlockSize, kMszipBlockSize);
    }
    auto block = deflateMszipBlock(data.subspan(offset, size), dictionary, level, strategy);
    // Incompressible data can come out a little over the decoder's input
    // limit (32768 + 12); a cabinet writer then stores the block instead.
    if (block.size() > kMszipBlockSize + 12) {
      block = deflateMszipBlock(data.subspan(offset, size), dictionary, 0, Z_DEFAULT_STRATEGY);
    }
    blocks.push_back(std::move(block));
    offset += size;
  } while (offset < data.size());
  return blocks;
}

}  // namespace ks::samples
