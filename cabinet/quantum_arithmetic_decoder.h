#pragma once
// Quantum's bit reader and arithmetic decoder: reading bits and decoding one
// symbol.
//
// Quantum reads its input most significant bit first. One bit stream carries
// both the arithmetic code (16 bits primed into `value`, then one bit per
// renormalising shift) and the raw extra bits of match lengths and
// positions, in the order the decoder asks for them. A bit needed after the
// block's input is used up reads as 0 and marks the input exhausted, which
// fails the block.
//
// The coder works on 16-bit registers: [low, high] is the current interval
// and `value` the code bits seen through the same 16-bit window. Narrowing
// the interval to a symbol's share of the model's total and shifting out the
// settled leading bits is the classic integer arithmetic coder, including
// the underflow case (low = 01..., high = 10...) where the second bit is
// dropped instead.

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cabinet/quantum_model.h"

namespace ks::cabinet {

class QuantumBitReader {
 public:
  void start(const uint8_t* input, uint32_t size) {
    input_ = input;
    end_ = input + size;
    buffer_ = 0;
    bitCount_ = 0;
    exhausted_ = false;
  }

  bool exhausted() const { return exhausted_; }

  // The next `count` bits (0 to 24), most significant first.
  [[gnu::always_inline]] inline uint32_t read(unsigned count) {
    if (count == 0) return 0;
    if (bitCount_ < count) refill(count);
    uint32_t bits = static_cast<uint32_t>(buffer_ >> (64 - count));
    buffer_ <<= count;
    bitCount_ -= count;
    return bits;
  }

 private:
  // Loads bytes behind the bits held (left-aligned in the 64-bit buffer);
  // past the end, the missing bits read as zeros and mark the input
  // exhausted.
  [[gnu::always_inline]] inline void refill(unsigned count) {
    while (bitCount_ <= 56 && input_ != end_) {
      buffer_ |= uint64_t{*input_++} << (56 - bitCount_);
      bitCount_ += 8;
    }
    if (bitCount_ < count) {
      exhausted_ = true;
      bitCount_ = count;  // the buffer's low bits are zeros
    }
  }

  const uint8_t* input_ = nullptr;
  const uint8_t* end_ = nullptr;
  uint64_t buffer_ = 0;
  unsigned bitCount_ = 0;
  bool exhausted_ = false;
};

// floor(2^40 / d) + 1 for every model total d (at most 3800 when decoding).
struct QuantumReciprocals {
  uint64_t of[kQuantumRescaleThreshold + 1];
  constexpr QuantumReciprocals() : of() {
    for (uint32_t d = 1; d <= kQuantumRescaleThreshold; ++d) of[d] = (uint64_t{1} << 40) / d + 1;
  }
};
inline constexpr QuantumReciprocals kQuantumReciprocals{};

class QuantumArithmeticDecoder {
 public:
  // Each block starts afresh at a byte boundary: value = the first 16 bits.
  void start(QuantumBitReader& bits) {
    low_ = 0;
    high_ = 0xFFFF;
    value_ = bits.read(16);
  }

  // Decodes a symbol of a 64-symbol literal model. Literal symbols are
  // spread over the whole model, so where SSE2 is there the search and the
  // update work on 8 entries at a time; the result is decode()'s.
  [[gnu::always_inline]] inline unsigned decodeLiteral(QuantumModel& model,
                                                       QuantumBitReader& bits) {
#if defined(__SSE2__)
    const uint32_t total = model.cumulative[0];
    const uint32_t range = high_ - low_ + 1;
    uint16_t* cumulative = model.cumulative;
    // The decoder's target, in 32-bit arithmetic; above every
    // cumulative frequency (at most 3800) it selects entry 0 either way.
    uint32_t target = ((value_ - low_ + 1) * total - 1) / range;
    if (target > 0x7FFF) target = 0x7FFF;

    // Count the entries above the target, 8 at a time (they lead, as the
    // cumulative frequencies decrease; the zeros after the sentinel end it).
    const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(target));
    unsigned index = 0;
    for (unsigned group = 1;; group += 8) {
      const __m128i entries = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cumulative + group));
      const unsigned above =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi16(entries, limit)));
      index += static_cast<unsigned>(std::popcount(above)) / 2;
      if (above != 0xFFFF) break;
    }
    const unsigned symbol = model.symbol[index];

    const uint32_t low = low_;
    high_ = low + shareOfRange(cumulative[index], range, total) - 1;
    low_ = low + shareOfRange(cumulative[index + 1], range, total);
    renormalise(bits);

    // Add 8 to entries 0 to index: whole groups, the last one under a mask.
    const __m128i last = _mm_set1_epi16(static_cast<int16_t>(index));
    const __m128i step = _mm_set1_epi16(static_cast<int16_t>(kQuantumFrequencyStep));
    const __m128i groupWidth = _mm_set1_epi16(8);
    __m128i lanes = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    for (unsigned group = 0; group <= index; group += 8) {
      auto* at = reinterpret_cast<__m128i*>(cumulative + group);
      const __m128i add = _mm_andnot_si128(_mm_cmpgt_epi16(lanes, last), step);
      _mm_store_si128(at, _mm_add_epi16(_mm_load_si128(at), add));
      lanes = _mm_add_epi16(lanes, groupWidth);
    }
    if (cumulative[0] > kQuantumRescaleThreshold) rescaleQuantumModel(model);
    return symbol;
#else
    return decode(model, bits);
#endif
  }

  // Decodes a symbol of `model` and updates the model.
  [[gnu::always_inline]] inline unsigned decode(QuantumModel& model, QuantumBitReader& bits) {
    const uint32_t total = model.cumulative[0];
    const uint32_t range = high_ - low_ + 1;
    const uint16_t* cumulative = model.cumulative;

    // The symbol is that of the first entry i whose successor's cumulative
    // frequency is not above target = ((value - low + 1) * total - 1) div
    // range. As cumulative[j] > target exactly when cumulative[j] * range >=
    // (value - low + 1) * total, the search needs no division. (Corrupt input
    // can put value below low, where the 32-bit arithmetic
    // wraps; that case takes the division.)
    unsigned index = 0;
    if (value_ >= low_) {
      const uint32_t scaled = (value_ - low_ + 1) * total;
      while (cumulative[index + 1] * range >= scaled) ++index;
    } else {
      const uint32_t target = ((value_ - low_ + 1) * total - 1) / range;
      while (cumulative[index + 1] > target) ++index;
    }
    const unsigned symbol = model.symbol[index];

    // Narrow the interval to the symbol's share, both ends from the old low.
    const uint32_t low = low_;
    high_ = low + shareOfRange(cumulative[index], range, total) - 1;
    low_ = low + shareOfRange(cumulative[index + 1], range, total);
    renormalise(bits);

    updateQuantumModel(model, index);
    return symbol;
  }

 private:
  // (cumulative * range) div total, through a reciprocal table: with
  // cumulative <= total <= 3800 and range <= 65536, multiplying by
  // floor(2^40 / total) + 1 and shifting right by 40 is exact.
  static inline uint32_t shareOfRange(uint32_t cumulative, uint32_t range, uint32_t total) {
    return static_cast<uint32_t>((uint64_t{cumulative * range} * kQuantumReciprocals.of[total]) >>
                                 40);
  }

  // Shifts out the interval's settled leading bits, taking as many new code
  // bits into value: all leading bits in which low and high agree at once,
  // then single underflow steps (low = 01..., high = 10...), which drop the
  // second bit instead.
  [[gnu::always_inline]] inline void renormalise(QuantumBitReader& bits) {
    for (;;) {
      const uint32_t differing = low_ ^ high_;
      if ((differing & 0x8000) == 0) {
        const unsigned settled =
            static_cast<unsigned>(std::countl_zero(static_cast<uint16_t>(differing)));
        low_ = (low_ << settled) & 0xFFFF;
        high_ = ((high_ << settled) | ((1u << settled) - 1)) & 0xFFFF;
        value_ = ((value_ << settled) | bits.read(settled)) & 0xFFFF;
        continue;
      }
      if ((low_ & 0x4000) == 0 || (high_ & 0x4000) != 0) return;
      low_ = (low_ & 0x3FFF) << 1;
      high_ = (((high_ | 0x4000) << 1) | 1) & 0xFFFF;
      value_ = (((value_ ^ 0x4000) << 1) | bits.read(1)) & 0xFFFF;
    }
  }

  // 16-bit registers, held in 32 bits for the arithmetic.
  uint32_t low_ = 0;
  uint32_t high_ = 0xFFFF;
  uint32_t value_ = 0;
};

}  // namespace ks::cabinet
