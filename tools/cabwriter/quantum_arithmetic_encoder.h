#pragma once
// The arithmetic encoder that mirrors the Quantum decoder's (cabinet/
// quantum_arithmetic_decoder.h) for one block, and the block's bit stream.
//
// The decoder primes 16 code bits, then reads one code bit per renormalising
// shift and raw extra bits whenever it needs them, all from one stream. The
// encoder only learns a code bit once the interval has settled it (and an
// underflow defers bits further), so it collects the code bits and the raw
// fields separately, noting for each raw field how many code bits the
// decoder will have read before it (16 + the shifts done so far), and
// interleaves them when the block ends.

#include <cstdint>
#include <vector>

#include "cabinet/quantum_model.h"

namespace ks::cabwriter {

class QuantumArithmeticEncoder {
 public:
  // Codes `symbol` with `model` and updates the model as the decoder will.
  void encode(cabinet::QuantumModel& model, unsigned symbol) {
    unsigned index = 0;
    while (model.symbol[index] != symbol) ++index;
    const uint32_t total = model.cumulative[0];
    const uint32_t range = high_ - low_ + 1;
    const uint32_t low = low_;
    high_ = low + (model.cumulative[index] * range) / total - 1;
    low_ = low + (model.cumulative[index + 1] * range) / total;
    renormalise();
    cabinet::updateQuantumModel(model, index);
  }

  // Raw bits, most significant first, read by the decoder at this point.
  void raw(uint32_t value, unsigned count) {
    if (count != 0) rawFields_.push_back({16 + shifts_, value, count});
  }

  // Ends the block: settles the interval and returns the block's bytes (the
  // last byte padded with zero bits); bitCount receives the bits the decoder
  // will read.
  std::vector<uint8_t> finish(uint32_t* bitCount = nullptr);

 private:
  void renormalise() {
    for (;;) {
      if (((low_ ^ high_) & 0x8000) == 0) {
        emitWithPending(high_ >> 15);
      } else if ((low_ & 0x4000) != 0 && (high_ & 0x4000) == 0) {
        // Underflow: the bit after the next settled one is its opposite.
        ++pending_;
        low_ &= 0x3FFF;
        high_ |= 0x4000;
      } else {
        return;
      }
      low_ = (low_ << 1) & 0xFFFF;
      high_ = ((high_ << 1) | 1) & 0xFFFF;
      ++shifts_;
    }
  }
  void emitWithPending(uint32_t bit) {
    codeBits_.push_back(static_cast<uint8_t>(bit));
    for (; pending_ > 0; --pending_) codeBits_.push_back(static_cast<uint8_t>(bit ^ 1));
  }

  struct RawField {
    uint32_t codeBitsBefore;
    uint32_t value;
    unsigned count;
  };

  uint32_t low_ = 0;
  uint32_t high_ = 0xFFFF;
  uint32_t pending_ = 0;
  uint32_t shifts_ = 0;
  std::vector<uint8_t> codeBits_;
  std::vector<RawField> rawFields_;
};

}  // namespace ks::cabwriter
