// Ending a Quantum block: the last code bits and the interleaved stream.

#include "tools/cabwriter/quantum_arithmetic_encoder.h"

#include <cstddef>
#include <utility>

namespace ks::cabwriter {
namespace {

class MsbFirstBitWriter {
 public:
  void put(uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) {
      if (used_ == 0) bytes_.push_back(0);
      bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1) << (7 - used_));
      used_ = (used_ + 1) & 7;
    }
  }
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
  unsigned used_ = 0;
};

}  // namespace

std::vector<uint8_t> QuantumArithmeticEncoder::finish(uint32_t* bitCount) {
  // After the last symbol the decoder has read 16 + shifts code bits. Any
  // 16-bit value inside [low, high] decodes the block; after a
  // renormalisation, 0x4000 is inside when low is below it (high is at least
  // 0x8000) and 0x8000 is inside otherwise (then high is at least 0xC000).
  const uint32_t settle = low_ < 0x4000 ? 0x4000 : 0x8000;
  emitWithPending(settle >> 15);
  for (unsigned i = 15; i-- > 0;) codeBits_.push_back(static_cast<uint8_t>((settle >> i) & 1));

  MsbFirstBitWriter out;
  uint32_t rawBits = 0;
  for (const RawField& field : rawFields_) rawBits += field.count;
  if (bitCount != nullptr) *bitCount = static_cast<uint32_t>(codeBits_.size()) + rawBits;
  std::size_t nextRaw = 0;
  for (uint32_t bit = 0; bit <= codeBits_.size(); ++bit) {
    while (nextRaw < rawFields_.size() && rawFields_[nextRaw].codeBitsBefore == bit) {
      out.put(rawFields_[nextRaw].value, rawFields_[nextRaw].count);
      ++nextRaw;
    }
    if (bit < codeBits_.size()) out.put(codeBits_[bit], 1);
  }
  return out.take();
}

}  // namespace ks::cabwriter
