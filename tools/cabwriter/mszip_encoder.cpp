#include "tools/cabwriter/mszip_encoder.h"

#include <zlib.h>

namespace ks::cabwriter {

namespace {

constexpr uint8_t kSignature[2] = {'C', 'K'};
constexpr int kRawDeflateWindowBits = -15;  // negative: no zlib header or trailer
constexpr int kMemoryLevel = 9;

struct DeflateStream {
  z_stream stream{};
  bool ready = false;
  ~DeflateStream() {
    if (ready) deflateEnd(&stream);
  }
};

// A DEFLATE stream of one final stored block: used when zlib's output would
// not fit the decoder's input buffer (it never should for 32768 bytes).
void storeBlock(std::span<const uint8_t> block, std::vector<uint8_t>& compressed) {
  const auto length = static_cast<uint16_t>(block.size());
  compressed.assign(kSignature, kSignature + 2);
  compressed.push_back(0x01);  // BFINAL, BTYPE 00 (stored)
  compressed.push_back(static_cast<uint8_t>(length));
  compressed.push_back(static_cast<uint8_t>(length >> 8));
  compressed.push_back(static_cast<uint8_t>(~length));
  compressed.push_back(static_cast<uint8_t>(~length >> 8));
  compressed.insert(compressed.end(), block.begin(), block.end());
}

bool deflateBlock(std::span<const uint8_t> block, std::span<const uint8_t> dictionary,
                  std::vector<uint8_t>& compressed) {
  DeflateStream deflater;
  if (deflateInit2(&deflater.stream, Z_BEST_COMPRESSION, Z_DEFLATED, kRawDeflateWindowBits,
                   kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK)
    return false;
  deflater.ready = true;
  if (!dictionary.empty() && deflateSetDictionary(&deflater.stream, dictionary.data(),
                                                  static_cast<uInt>(dictionary.size())) != Z_OK)
    return false;
  const uLong bound = deflateBound(&deflater.stream, static_cast<uLong>(block.size()));
  compressed.assign(kSignature, kSignature + 2);
  compressed.resize(2 + bound);
  deflater.stream.next_in = const_cast<Bytef*>(block.data());
  deflater.stream.avail_in = static_cast<uInt>(block.size());
  deflater.stream.next_out = compressed.data() + 2;
  deflater.stream.avail_out = static_cast<uInt>(bound);
  if (deflate(&deflater.stream, Z_FINISH) != Z_STREAM_END) return false;
  compressed.resize(2 + deflater.stream.total_out);
  return true;
}

}  // namespace

bool MszipEncoder::encodeBlock(std::span<const uint8_t> block, std::vector<uint8_t>& compressed) {
  if (block.size() > kMaxBlockSize) return false;
  if (!deflateBlock(block, previous_, compressed)) return false;
  if (compressed.size() > kMaxCompressedBlockSize) storeBlock(block, compressed);
  previous_.assign(block.begin(), block.end());
  return true;
}

}  // namespace ks::cabwriter
