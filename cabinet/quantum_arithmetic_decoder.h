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
    if (bitCount_ < count) refill(count);
    // Two shifts, so that a count of 0 needs no branch of its own.
    uint32_t bits = static_cast<uint32_t>((buffer_ >> 1) >> (63 - count));
    buffer_ <<= count;
    bitCount_ -= count;
    return bits;
  }

 private:
  // Loads bytes behind the bits held (left-aligned in the 64-bit buffer);
  // past the end, the missing bits read as zeros and mark the input
  // exhausted.
  [[gnu::always_inline]] inline void refill(unsigned count) {
    if (end_ - input_ >= 8) {
      // One 8-byte load fills the buffer to 56 bits or more; the part of a
      // byte loaded below them is loaded again, to the same place, next time.
      buffer_ |= loadBigEndian64(input_) >> bitCount_;
      input_ += (63 - bitCount_) >> 3;
      bitCount_ |= 56;
      return;
    }
    while (bitCount_ <= 56 && input_ != end_) {
      buffer_ |= uint64_t{*input_++} << (56 - bitCount_);
      bitCount_ += 8;
    }
    if (bitCount_ < count) {
      exhausted_ = true;
      bitCount_ = count;  // the buffer's low bits are zeros
    }
  }

  static inline uint64_t loadBigEndian64(const uint8_t* p) {
    // Compilers turn this into one load and a byte swap.
    return uint64_t{p[0]} << 56 | uint64_t{p[1]} << 48 | uint64_t{p[2]} << 40 |
           uint64_t{p[3]} << 32 | uint64_t{p[4]} << 24 | uint64_t{p[5]} << 16 |
           uint64_t{p[6]} << 8 | uint64_t{p[7]};
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

  // Decodes a symbol of `model` and updates the model. The model has at
  // most 8 * kGroups symbols: the search and the update then run a fixed
  // number of steps, which the compiler unrolls, instead of loops whose
  // data-dependent ends the processor would mispredict.
  template <unsigned kGroups>
  [[gnu::always_inline]] inline unsigned decode(QuantumModel& model, QuantumBitReader& bits) {
    static_assert(kGroups * 8 <= kQuantumMaxModelSymbols);
    const uint32_t total = model.cumulative[0];
    const uint32_t range = high_ - low_ + 1;
    uint16_t* cumulative = model.cumulative;
    const unsigned index = findEntry<kGroups>(cumulative, total, range);
    const unsigned symbol = model.symbol[index];

    // Narrow the interval to the symbol's share, both ends from the old low.
    const uint32_t low = low_;
    high_ = low + shareOfRange(cumulative[index], range, total) - 1;
    low_ = low + shareOfRange(cumulative[index + 1], range, total);
    renormalise(bits);

    addFrequency<kGroups>(cumulative, index);
    if (cumulative[0] > kQuantumRescaleThreshold) rescaleQuantumModel(model);
    return symbol;
  }

 private:
#if defined(__SSE2__)
  // The 8 entries from 1 + 8 * group on.
  static inline __m128i groupAt(const uint16_t* cumulative, unsigned group) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(cumulative + 1 + 8 * group));
  }
#endif

  // The symbol's entry: the first entry i whose successor's cumulative
  // frequency is not above target = ((value - low + 1) * total - 1) div
  // range, in 32-bit arithmetic.
  template <unsigned kGroups>
  [[gnu::always_inline]] inline unsigned findEntry(const uint16_t* cumulative, uint32_t total,
                                                   uint32_t range) const {
#if defined(__SSE2__)
    // The entries above the target lead, as the cumulative frequencies
    // decrease (the zeros from the sentinel on never are), so the index is
    // the number of leading set bits of a compare mask over the entries: one
    // bit scan, no branch. The masks of two groups are packed into one
    // movemask.
    uint64_t above = 0;
    if (value_ >= low_ && range <= 0xFFFF) [[likely]] {
      // cumulative[j] > target exactly when cumulative[j] * range >=
      // (value - low + 1) * total: comparing products keeps the division off
      // the path from one symbol to the next. PMADDWD forms the 32-bit
      // products from 16-bit halves: 2c * (range >> 1) + c * (range & 1).
      const __m128i halves = _mm_set1_epi32(static_cast<int32_t>((range >> 1) | (range & 1) << 16));
      const __m128i limit = _mm_set1_epi32(static_cast<int32_t>((value_ - low_ + 1) * total - 1));
      auto groupAbove = [&](unsigned group) {
        const __m128i entries = groupAt(cumulative, group);
        const __m128i twice = _mm_add_epi16(entries, entries);
        const __m128i low4 = _mm_madd_epi16(_mm_unpacklo_epi16(twice, entries), halves);
        const __m128i high4 = _mm_madd_epi16(_mm_unpackhi_epi16(twice, entries), halves);
        return _mm_packs_epi32(_mm_cmpgt_epi32(low4, limit), _mm_cmpgt_epi32(high4, limit));
      };
      for (unsigned pair = 0; pair < (kGroups + 1) / 2; ++pair) {
        const __m128i first = groupAbove(2 * pair);
        const __m128i second =
            2 * pair + 1 < kGroups ? groupAbove(2 * pair + 1) : _mm_setzero_si128();
        above |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(first, second)))}
                 << (16 * pair);
      }
    } else {
      // The first symbol of a block (range 0x10000) and corrupt input (value
      // below low, where the 32-bit arithmetic wraps) divide. Above every
      // cumulative frequency (at most 3808) any target selects entry 0, so
      // clamping it to 16 bits changes nothing.
      uint32_t target = ((value_ - low_ + 1) * total - 1) / range;
      if (target > 0x7FFF) target = 0x7FFF;
      const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(target));
      for (unsigned pair = 0; pair < (kGroups + 1) / 2; ++pair) {
        const __m128i first = _mm_cmpgt_epi16(groupAt(cumulative, 2 * pair), limit);
        const __m128i second = 2 * pair + 1 < kGroups
                                   ? _mm_cmpgt_epi16(groupAt(cumulative, 2 * pair + 1), limit)
                                   : _mm_setzero_si128();
        above |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(first, second)))}
                 << (16 * pair);
      }
    }
    return static_cast<unsigned>(std::countr_one(above));
#else
    // cumulative[j] > target exactly when cumulative[j] * range >=
    // (value - low + 1) * total, so the search needs no division (corrupt
    // input can put value below low, where the 32-bit arithmetic wraps; that
    // case takes the division).
    unsigned index = 0;
    if (value_ >= low_) {
      const uint32_t scaled = (value_ - low_ + 1) * total;
      while (cumulative[index + 1] * range >= scaled) ++index;
    } else {
      const uint32_t target = ((value_ - low_ + 1) * total - 1) / range;
      while (cumulative[index + 1] > target) ++index;
    }
    return index;
#endif
  }

  // The model update: 8 more for entries 0 to index (with SSE2, 8 entries
  // per step under a mask, over every entry but the sentinel).
  template <unsigned kGroups>
  [[gnu::always_inline]] static inline void addFrequency(uint16_t* cumulative, unsigned index) {
#if defined(__SSE2__)
    const __m128i last = _mm_set1_epi16(static_cast<int16_t>(index));
    const __m128i step = _mm_set1_epi16(static_cast<int16_t>(kQuantumFrequencyStep));
    for (unsigned group = 0; group < kGroups; ++group) {
      const __m128i lanes = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
      const __m128i first = _mm_set1_epi16(static_cast<int16_t>(8 * group));
      const __m128i add =
          _mm_andnot_si128(_mm_cmpgt_epi16(_mm_add_epi16(lanes, first), last), step);
      auto* at = reinterpret_cast<__m128i*>(cumulative + 8 * group);
      _mm_store_si128(at, _mm_add_epi16(_mm_load_si128(at), add));
    }
#else
    for (unsigned i = 0; i <= index; ++i) cumulative[i] += kQuantumFrequencyStep;
#endif
  }

  // (cumulative * range) div total, through a reciprocal table: with
  // cumulative <= total <= 3800 and range <= 65536, multiplying by
  // floor(2^40 / total) + 1 and shifting right by 40 is exact.
  static inline uint32_t shareOfRange(uint32_t cumulative, uint32_t range, uint32_t total) {
    return static_cast<uint32_t>((uint64_t{cumulative * range} * kQuantumReciprocals.of[total]) >>
                                 40);
  }

  // Shifts out the interval's settled leading bits, taking as many new code
  // bits into value: first all leading bits in which low and high agree,
  // then all underflow steps (low = 01..., high = 10...), which drop the
  // second bit instead. Neither can follow the other again: after the
  // settled bits, bit 15 of low and high differ, and the underflow steps keep
  // it so and take every underflow bit there is. So the renormalisation is
  // two counts and one read, without a loop.
  [[gnu::always_inline]] inline void renormalise(QuantumBitReader& bits) {
    // Settled bits (all 16 when low = high).
    // (Counted in 32 bits with a stop bit, so the count needs no zero test.)
    const unsigned settled =
        static_cast<unsigned>(std::countl_zero(((low_ ^ high_) << 16) | 0x8000));
    uint32_t low = low_ << settled;
    uint32_t high = (high_ << settled) | ((1u << settled) - 1);
    // Underflow steps in a row: bits 14 down to 15 - steps set in low and
    // clear in high. Each step drops bit 14 of low, sets it in high and
    // flips it in value before shifting by one; over the steps only the last
    // flip stays (in bit 15), and high's bit 15 stays set.
    const unsigned steps =
        static_cast<unsigned>(std::countl_zero(~((low & ~high) << 17) | 0x10000));
    low_ = (low << steps) & 0x7FFF;
    high_ = ((high << steps) | 0x8000 | ((1u << steps) - 1)) & 0xFFFF;
    const uint32_t shift = settled + steps;  // at most 16
    value_ = (((value_ << shift) | bits.read(shift)) & 0xFFFF) ^ (steps != 0 ? 0x8000 : 0);
  }

  // 16-bit registers, held in 32 bits for the arithmetic.
  uint32_t low_ = 0;
  uint32_t high_ = 0xFFFF;
  uint32_t value_ = 0;
};

}  // namespace ks::cabinet
