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
//
// What this decoder keeps is chosen for the path from one symbol to the next
// (each symbol's search needs the previous symbol's registers), and is
// exactly equivalent to low, high and value:
// - value - low (mod 2^16), as the top 16 bits of the bit reader's buffer:
//   renormalising by n bits turns it into ((value - low) << n | the next n
//   bits) mod 2^16 whether the bits were settled or underflow steps (an
//   underflow step flips bit 15 of value and drops it from low: the two
//   cancel), so shifting the buffer is the whole update of value;
// - the range high - low + 1 instead of high: each renormalising bit
//   doubles it, so it is the narrowed range shifted by n.

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

  // The top 16 bits of the buffer: the arithmetic decoder's value - low.
  inline uint32_t valueMinusLow() const { return static_cast<uint32_t>(buffer_ >> 48); }
  inline void subtractFromValue(uint64_t amount) { buffer_ -= amount << 48; }

  // Moves the next `count` bits (0 to 16) of the stream into the value.
  [[gnu::always_inline]] inline void shiftIntoValue(unsigned count) {
    if (bitCount_ < count) refill(count);
    buffer_ <<= count;
    bitCount_ -= count;
  }

  // The next `count` bits (0 to 24), most significant first, taken from
  // below the value.
  [[gnu::always_inline]] inline uint32_t read(unsigned count) {
    if (bitCount_ < count) refill(count);
    const uint64_t stream = buffer_ << kValueBits;
    // Two shifts, so that a count of 0 needs no branch of its own.
    const auto bits = static_cast<uint32_t>((stream >> 1) >> (63 - count));
    buffer_ = (buffer_ & kValueMask) | ((stream << count) >> kValueBits);
    bitCount_ -= count;
    return bits;
  }

 private:
  static constexpr unsigned kValueBits = 16;
  static constexpr uint64_t kValueMask = ~uint64_t{0} << (64 - kValueBits);
  // Stream bits the buffer holds below the value.
  static constexpr unsigned kStreamBits = 64 - kValueBits;

  // Loads bytes behind the stream bits held (left-aligned below the value);
  // past the end, the missing bits read as zeros and mark the input
  // exhausted.
  [[gnu::always_inline]] inline void refill(unsigned count) {
    if (end_ - input_ >= 8) {
      // One 8-byte load fills the stream part to 41 bits or more; the part of
      // a byte loaded below them is loaded again, to the same place, next
      // time.
      buffer_ |= loadBigEndian64(input_) >> (kValueBits + bitCount_);
      const unsigned bytes = (kStreamBits - bitCount_) >> 3;
      input_ += bytes;
      bitCount_ += 8 * bytes;
      return;
    }
    while (bitCount_ + 8 <= kStreamBits && input_ != end_) {
      buffer_ |= uint64_t{*input_++} << (kStreamBits - 8 - bitCount_);
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
  uint64_t buffer_ = 0;  // value - low, then the stream bits, left-aligned
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
    range_ = 0x10000;
    bits.shiftIntoValue(16);
  }

  // Decodes a symbol of `model` and updates the model. The model has at
  // most 8 * kGroups symbols: the search and the update then run a fixed
  // number of steps, which the compiler unrolls, instead of loops whose
  // data-dependent ends the processor would mispredict.
  template <unsigned kGroups>
  [[gnu::always_inline]] inline unsigned decode(QuantumModel& model, QuantumBitReader& bits) {
    static_assert(kGroups * 8 <= kQuantumMaxModelSymbols);
    uint16_t* cumulative = model.cumulative;
    const uint32_t total = cumulative[0];
    const uint32_t range = range_;
    // (cumulative * range) div total is (cumulative * scale) >> 40: with
    // cumulative <= total <= 3800 and range <= 65536, multiplying by
    // floor(2^40 / total) + 1 and shifting is exact, and the product stays
    // below 2^57. Formed before the search, it leaves one multiplication
    // per share on the path to the next symbol.
    const uint64_t scale = uint64_t{range} * kQuantumReciprocals.of[total];
#if defined(__SSE2__)
    // The search compares whole 8-entry groups; the entries above the
    // target are exactly the ones the update adds to, so the update reuses
    // the search's compare results.
    __m128i groups[kGroups];
    __m128i above[kGroups];
    for (unsigned group = 0; group < kGroups; ++group) {
      groups[group] = _mm_load_si128(reinterpret_cast<const __m128i*>(cumulative + 8 * group));
    }
    const unsigned index = entriesAbove<kGroups>(groups, above, total, range, bits) - 1;
#else
    const unsigned index = findEntry(cumulative, total, range, bits);
#endif
    const unsigned symbol = model.symbol[index];

    // Narrow the interval to the symbol's share, both ends from the old low
    // (high = low + highShare - 1), then renormalise.
    const uint64_t highShare = (cumulative[index] * scale) >> 40;
    const uint64_t lowShare = (cumulative[index + 1] * scale) >> 40;
    renormalise(lowShare, highShare, bits);

    // The model update: 8 more for entries 0 to index.
#if defined(__SSE2__)
    const __m128i step = _mm_set1_epi16(static_cast<int16_t>(kQuantumFrequencyStep));
    for (unsigned group = 0; group < kGroups; ++group) {
      _mm_store_si128(reinterpret_cast<__m128i*>(cumulative + 8 * group),
                      _mm_add_epi16(groups[group], _mm_and_si128(above[group], step)));
    }
#else
    for (unsigned i = 0; i <= index; ++i) cumulative[i] += kQuantumFrequencyStep;
#endif
    // Entry 0 always takes the step.
    if (total + kQuantumFrequencyStep > kQuantumRescaleThreshold) rescaleQuantumModel(model);
    return symbol;
  }

 private:
  // value - low + 1 as the 32-bit arithmetic of the format forms it: it
  // wraps when value is below low (only on corrupt input).
  inline uint32_t valueOffset(uint32_t valueMinusLow) const {
    const bool valueBelowLow = low_ + valueMinusLow > 0xFFFF;
    return valueMinusLow + 1 - (valueBelowLow ? 0x10000u : 0u);
  }

#if defined(__SSE2__)
  // How many entries of the groups are above target = ((value - low + 1) *
  // total - 1) div range, in 32-bit arithmetic, and which (as lane masks in
  // `above`). Entries decrease (the zeros from the sentinel on never are
  // above), so that count is 1 + the symbol's entry: it is the number of
  // trailing set bits of a compare mask over the entries, one bit scan, no
  // branch. Entry 0 counts as above always (it is, except on corrupt input
  // where value has left the interval; the symbol is then entry 0's). The
  // masks of two groups are packed into one movemask.
  template <unsigned kGroups>
  [[gnu::always_inline]] inline unsigned entriesAbove(const __m128i* groups, __m128i* above,
                                                      uint32_t total, uint32_t range,
                                                      const QuantumBitReader& bits) const {
    const uint32_t valueMinusLow = bits.valueMinusLow();
    if (low_ + valueMinusLow <= 0xFFFF && range <= 0xFFFF) [[likely]] {
      // cumulative[j] > target exactly when cumulative[j] * range >=
      // (value - low + 1) * total: comparing products keeps the division off
      // the path from one symbol to the next. PMADDWD forms the 32-bit
      // products from signed 16-bit factors: 2c * 16384 + c * (range -
      // 32768), whose second factor is range's low half with bit 15 flipped.
      const __m128i halves =
          _mm_set1_epi32(static_cast<int32_t>(((range << 16) ^ 0x80000000u) | 0x4000u));
      const __m128i limit = _mm_set1_epi32(static_cast<int32_t>((valueMinusLow + 1) * total - 1));
      for (unsigned group = 0; group < kGroups; ++group) {
        const __m128i entries = groups[group];
        const __m128i twice = _mm_add_epi16(entries, entries);
        const __m128i low4 = _mm_madd_epi16(_mm_unpacklo_epi16(twice, entries), halves);
        const __m128i high4 = _mm_madd_epi16(_mm_unpackhi_epi16(twice, entries), halves);
        above[group] = _mm_packs_epi32(_mm_cmpgt_epi32(low4, limit), _mm_cmpgt_epi32(high4, limit));
      }
    } else {
      // The first symbol of a block (range 0x10000) and corrupt input (value
      // below low, where the 32-bit arithmetic wraps) divide. Above every
      // cumulative frequency (at most 3808) any target is above them all, so
      // clamping it to 16 bits changes nothing.
      uint32_t target = (valueOffset(valueMinusLow) * total - 1) / range;
      if (target > 0x7FFF) target = 0x7FFF;
      const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(target));
      for (unsigned group = 0; group < kGroups; ++group) {
        above[group] = _mm_cmpgt_epi16(groups[group], limit);
      }
    }
    above[0] = _mm_or_si128(above[0], _mm_setr_epi16(-1, 0, 0, 0, 0, 0, 0, 0));
    uint64_t mask = 0;
    for (unsigned pair = 0; pair < (kGroups + 1) / 2; ++pair) {
      const __m128i second = 2 * pair + 1 < kGroups ? above[2 * pair + 1] : _mm_setzero_si128();
      mask |= uint64_t{static_cast<uint32_t>(
                  _mm_movemask_epi8(_mm_packs_epi16(above[2 * pair], second)))}
              << (16 * pair);
    }
    // Entry 0 is above, so the count is 1 + the set bits after it (a scan
    // of a word that is never 0).
    return 1 + static_cast<unsigned>(std::countr_zero(~(mask >> 1)));
  }
#else
  // The symbol's entry: the first entry i whose successor's cumulative
  // frequency is not above target = ((value - low + 1) * total - 1) div
  // range, in 32-bit arithmetic. cumulative[j] > target exactly when
  // cumulative[j] * range >= (value - low + 1) * total, so the search needs
  // no division (corrupt input can put value below low, where the 32-bit
  // arithmetic wraps; that case, and the first symbol of a block, divide).
  unsigned findEntry(const uint16_t* cumulative, uint32_t total, uint32_t range,
                     const QuantumBitReader& bits) const {
    const uint32_t offset = valueOffset(bits.valueMinusLow());
    unsigned index = 0;
    if (offset <= 0x10000 && range <= 0xFFFF) {
      const uint32_t scaled = offset * total;
      while (cumulative[index + 1] * range >= scaled) ++index;
    } else {
      const uint32_t target = (offset * total - 1) / range;
      while (cumulative[index + 1] > target) ++index;
    }
    return index;
  }
#endif

  // Narrows the interval to [low + lowShare, low + highShare - 1] and
  // shifts out its settled leading bits, taking as many new code bits into
  // value: first all leading bits in which low and high agree, then all
  // underflow steps (low = 01..., high = 10...), which drop the second bit
  // instead. Neither can follow the other again: after the settled bits,
  // bit 15 of low and high differ, and the underflow steps keep it so and
  // take every underflow bit there is.
  //
  // After n such steps the interval lies in a window of 2^(16 - n) that
  // starts at a multiple of 2^(15 - n): settled bits keep it in an aligned
  // half, each underflow step in the middle half around that half's midpoint.
  // So n = 15 - m for the smallest m with (high >> m) - (low >> m) <= 1.
  // That needs high - low < 2^(m + 1) and holds for m = bit_width(high -
  // low), so m is that width or one less: one bit scan and one comparison,
  // no loop.
  [[gnu::always_inline]] inline void renormalise(uint64_t lowShare, uint64_t highShare,
                                                 QuantumBitReader& bits) {
    const uint32_t low = low_ + static_cast<uint32_t>(lowShare);
    const uint32_t high = low_ + static_cast<uint32_t>(highShare) - 1;
    // high - low is at least 3: a share grows by range / total > 4 per unit
    // (the | 1 tells the compiler the scanned word is never 0).
    const auto narrower = static_cast<unsigned>(std::bit_width((high - low) | 1)) - 1;
    const unsigned widest = narrower + ((high >> narrower) - (low >> narrower) > 1 ? 1 : 0);
    const unsigned shift = 15 - widest;
    // Each underflow step clears what was bit 14 of low; after them bit 15
    // is that last one, so clearing bit 15 covers every case.
    low_ = (low << shift) & 0x7FFF;
    range_ = static_cast<uint32_t>(highShare - lowShare) << shift;
    bits.subtractFromValue(lowShare);
    bits.shiftIntoValue(shift);
  }

  uint32_t low_ = 0;
  uint32_t range_ = 0x10000;  // high - low + 1
};

}  // namespace ks::cabinet
