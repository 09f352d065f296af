#pragma once
// The MSZIP decoder's bit reader.
//
// DEFLATE packs its fields least significant bit first: the first bit of the
// stream is bit 0 of the first byte, and a field of n bits is read as the
// next n bits with its least significant bit first. The decoder is defined
// to read a byte at a time, only as many bytes as the next step needs, and a byte
// requested at the end of the input reads as 0 without error. Reading ahead
// does not change what is decoded as long as the bytes past the end keep
// reading as zeros, so this reader keeps up to 64 bits in hand and refills
// eight bytes at once where the input allows it: one refill covers the
// longest item of a block (a 15-bit length code, 5 extra bits, a 15-bit
// distance code and 13 extra bits: 48 bits).
//
// Only a stored block needs the exact byte position back: alignToByte() drops
// the bits up to the next byte boundary and returns the whole bytes still held
// to the input (zeros read past the end are not real bytes and are dropped).

#include <cstddef>
#include <cstdint>

namespace ks::cabinet {

// The bits in hand, least significant first, and the operations on them
// that both readers share.
class DeflateBits {
 public:
  // The next n bits (n <= bits in hand), not consumed.
  inline uint32_t peek(unsigned n) const {
    return static_cast<uint32_t>(bitBuffer_ & ((uint64_t{1} << n) - 1));
  }
  inline uint64_t buffered() const { return bitBuffer_; }
  inline void consume(unsigned n) {
    bitBuffer_ >>= n;
    bitCount_ -= n;
  }
  inline uint32_t take(unsigned n) {
    uint32_t value = peek(n);
    consume(n);
    return value;
  }
  inline unsigned bitCount() const { return bitCount_; }

 protected:
  static inline uint64_t load64(const uint8_t* p) {
    // Little-endian load; compilers turn this into one unaligned load.
    return uint64_t{p[0]} | uint64_t{p[1]} << 8 | uint64_t{p[2]} << 16 | uint64_t{p[3]} << 24 |
           uint64_t{p[4]} << 32 | uint64_t{p[5]} << 40 | uint64_t{p[6]} << 48 |
           uint64_t{p[7]} << 56;
  }

  uint64_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;
  // DeflateBitReader's count of zero bytes read past the end (here, where it
  // packs with the bit count: the decoder state keeps its size).
  uint32_t zeroBytesRead_ = 0;
};

class DeflateBitReader : public DeflateBits {
 public:
  // Bits guaranteed to be in hand after refill().
  static constexpr unsigned kBitsAfterRefill = 56;

  void start(const uint8_t* input, uint32_t size) {
    input_ = input;
    size_ = size;
    position_ = 0;
    bitBuffer_ = 0;
    bitCount_ = 0;
    zeroBytesRead_ = 0;
  }

  // Makes at least kBitsAfterRefill bits available.
  [[gnu::always_inline]] inline void refill() {
    if (size_ - position_ >= 8) {
      bitBuffer_ |= load64(input_ + position_) << bitCount_;
      position_ += (63 - bitCount_) >> 3;
      bitCount_ |= kBitsAfterRefill;
      return;
    }
    while (bitCount_ < kBitsAfterRefill) {
      uint64_t byte = 0;
      if (position_ < size_) {
        byte = input_[position_++];
      } else {
        ++zeroBytesRead_;  // past the end: reads as 0, the position stays
      }
      bitBuffer_ |= byte << bitCount_;
      bitCount_ += 8;
    }
  }

  // Real input bytes not yet loaded into the bit buffer.
  inline uint32_t bytesLeft() const { return size_ - position_; }

  // The fast loop's reader: the same bits, kept in plain locals (the
  // compiler holds them in registers) and refilled without a bounds check,
  // which the caller makes with canRefill(). Taken from this reader and given
  // back to it.
  //
  // Its bit count is meaningful only in its low byte: consuming an entry
  // subtracts the whole table entry, whose low byte is its bit count (one
  // subtraction, no masking; the bytes above collect garbage). After a
  // refill all 64 bits of the buffer are stream bits (those above the count
  // belong to the byte the next refill loads again), so up to 64 bits may be
  // looked at before the next refill.
  class Fast {
   public:
    explicit Fast(const DeflateBitReader& reader)
        : bitBuffer_(reader.bitBuffer_),
          bitCount_(reader.bitCount_),
          next_(reader.input_ + reader.position_),
          // Past this, fewer than 8 bytes are left (before the input's start
          // when it is that short: then no refill is allowed at all).
          refillLimit_(reader.input_ + (reader.size_ >= 8 ? reader.size_ - 7 : 0)) {}
    void giveBack(DeflateBitReader& reader) const {
      reader.position_ = static_cast<uint32_t>(next_ - reader.input_);
      reader.bitBuffer_ = bitBuffer_;
      reader.bitCount_ = bitCount_ & 0xFF;
    }

    inline uint64_t buffered() const { return bitBuffer_; }
    // Consumes the bits of a table entry given as a word (its low byte).
    inline void consumeEntry(uint32_t entryWord) {
      bitBuffer_ >>= entryWord & 0x3F;
      bitCount_ -= entryWord;
    }

    // At least 8 bytes left: one refill may run (a pointer comparison).
    inline bool canRefill() const { return next_ < refillLimit_; }
    // Loads whole bytes behind the bits in hand, up to 56 to 63 bits: reads
    // 8 bytes, of which at most 7 are consumed. No branch, no loop.
    [[gnu::always_inline]] inline void refill() {
      bitBuffer_ |= load64(next_) << (bitCount_ & 0x3F);
      next_ += (~bitCount_ & 0x3F) >> 3;
      bitCount_ |= kBitsAfterRefill;
    }

   private:
    uint64_t bitBuffer_;
    uint32_t bitCount_;  // low byte: bits in hand
    const uint8_t* next_;
    const uint8_t* refillLimit_;
  };

  // Drops the bits up to the next byte boundary and gives the whole bytes
  // still held back to the input, so the byte position is exact again.
  void alignToByte() {
    consume(bitCount_ & 7);
    uint32_t heldBytes = bitCount_ >> 3;
    // Zero bytes read past the end were loaded last, so the held bytes are
    // real input only beyond that count.
    uint32_t realHeld = heldBytes > zeroBytesRead_ ? heldBytes - zeroBytesRead_ : 0;
    position_ -= realHeld;
    bitBuffer_ = 0;
    bitCount_ = 0;
    zeroBytesRead_ = 0;
  }

  // Byte-wise reading after alignToByte(): past the end reads as 0.
  uint32_t readAlignedUint16() {
    uint32_t low = readAlignedByte();
    return low | (readAlignedByte() << 8);
  }

  // Hands out `count` bytes at the read position and advances past them;
  // null when they are not all inside the input.
  const uint8_t* takeAlignedBytes(uint32_t count) {
    if (count > size_ - position_) return nullptr;
    const uint8_t* bytes = input_ + position_;
    position_ += count;
    return bytes;
  }

  // Advances the aligned read position by up to `count` bytes (stops at the
  // end of the input).
  void skipAlignedBytes(uint32_t count) {
    position_ += count < size_ - position_ ? count : size_ - position_;
  }

 private:
  uint32_t readAlignedByte() { return position_ < size_ ? input_[position_++] : 0; }

  const uint8_t* input_ = nullptr;
  uint32_t size_ = 0;
  uint32_t position_ = 0;
};

}  // namespace ks::cabinet
