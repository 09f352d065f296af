#pragma once
// Decoding tables for DEFLATE's Huffman codes, built from code lengths.
//
// A table is looked up with the next `rootBits` bits of the stream (DEFLATE
// sends Huffman codes most significant bit first, so the table is indexed by
// the bit-reversed code). Codes not longer than the root width fill every
// root entry whose low bits are their reversed code; longer codes go through
// sub-tables linked from the root (and, for distance codes longer than twice
// the root width, from a second level). The tables live in fixed pools inside
// the decoder state: nothing is allocated while decoding.

#include <bit>
#include <cstdint>

namespace ks::cabinet {

// The kind byte of a table entry.
enum HuffmanKind : uint8_t {
  // Below kKindSpecial: a length or distance base; the kind is the number of
  // bits of the code itself, and the entry's other bits are extra bits.
  kKindMaxCodeBits = 15,
  // A literal (or a plain symbol of the code-length code): value holds it.
  kKindLiteral = 0x80,
  // Flag of the entries the decoding loops handle apart.
  kKindSpecial = 0x40,
  kKindEndOfBlock = kKindSpecial,
  kKindInvalid = kKindSpecial | 1,
  // A link to a sub-table (plus its index bits); value is its pool index.
  kKindLink = kKindSpecial | 0x20,
};

// Four bytes, so that a decoding loop can hold one in a register: the low
// byte is the count of bits the entry consumes (consuming is a shift and a
// subtraction with the whole entry, see DeflateBitReader::Fast).
struct HuffmanEntry {
  // Bits this entry consumes: the code's bits (below a link, those left after
  // the tables above it), plus a length's or distance's extra bits; for a
  // link, the index bits of the table holding it.
  uint8_t bits;
  uint8_t kind;    // HuffmanKind
  uint16_t value;  // literal, length or distance base, or a link's pool index
};
static_assert(sizeof(HuffmanEntry) == 4);
static_assert(std::endian::native == std::endian::little);

inline bool isSubTableLink(uint8_t kind) {
  return (kind & kKindLink) == kKindLink;
}
inline unsigned subTableBits(uint8_t kind) {
  return kind & kKindMaxCodeBits;
}
inline bool isLiteral(uint8_t kind) {
  return (kind & kKindLiteral) != 0;
}

// The entry as one word: bits in bits 0-7, kind in 8-15, value in 16-31.
inline uint32_t entryWord(HuffmanEntry entry) {
  return std::bit_cast<uint32_t>(entry);
}

// The extra bits of a length or distance entry (given as a word) from the
// bits that were in hand before it was consumed: the entry's bits above its
// code bits, least significant first.
inline uint32_t entryExtraBits(uint64_t bitsBefore, uint32_t word) {
  const uint64_t itemBits = bitsBefore & ((uint64_t{1} << (word & 0x3F)) - 1);
  return static_cast<uint32_t>(itemBits >> ((word >> 8) & kKindMaxCodeBits));
}

// Marks a symbol of HuffmanSymbolMeaning::extraBits that must not occur.
constexpr uint8_t kUnusableSymbol = 0xFF;

// What a symbol of the code stands for.
struct HuffmanSymbolMeaning {
  // Symbols below this count are plain values: symbols 0-255 literals, 256 the
  // end of block (for the code-length code: every symbol is plain).
  unsigned plainSymbols;
  // For symbol s >= plainSymbols: base[s - plainSymbols] and
  // extraBits[s - plainSymbols] (kUnusableSymbol marks an unusable symbol).
  const uint16_t* base;
  const uint8_t* extraBits;
};

struct HuffmanTable {
  const HuffmanEntry* entries = nullptr;
  unsigned rootBits = 0;
  unsigned entryCount = 0;  // pool entries used
};

// Builds the table for `count` code lengths (0 = symbol unused, at most 15)
// into `pool` (poolSize entries). requestedRootBits is raised to the shortest
// code length and lowered to the longest. Fails (returns false) for an
// over-subscribed code, an incomplete code (unless its longest code has one
// bit, or acceptIncomplete is set: the fixed distance code) and a table that
// does not fit the pool. All lengths 0 gives an empty table of one invalid
// entry and root width 0.
bool buildHuffmanTable(const uint8_t* lengths, unsigned count, const HuffmanSymbolMeaning& meaning,
                       unsigned requestedRootBits, bool acceptIncomplete, HuffmanEntry* pool,
                       unsigned poolSize, HuffmanTable* table);

}  // namespace ks::cabinet
