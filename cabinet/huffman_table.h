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

#include <cstdint>

namespace ks::cabinet {

// The operation byte of a table entry.
enum HuffmanOperation : uint8_t {
  // 0 to 13: a length or distance base followed by that many extra bits.
  kOperationMaxExtraBits = 13,
  // Two literals in one root entry (see pairRootLiterals): value holds the
  // first in its low byte and the second in its high byte.
  kOperationLiteralPair = 14,
  kOperationEndOfBlock = 15,
  kOperationLiteral = 16,
  // 17 to 31: a link to a sub-table indexed by (operation - 16) further bits.
  kOperationInvalid = 99,
};

struct HuffmanEntry {
  uint8_t operation;  // HuffmanOperation
  uint8_t bits;       // bits this entry consumes (for a link: the bits of its table)
  uint16_t value;     // literal, length or distance base, or a link's pool index
};
static_assert(sizeof(HuffmanEntry) == 4);

inline bool isSubTableLink(uint8_t operation) {
  return operation > kOperationLiteral && operation != kOperationInvalid;
}

// What a symbol of the code stands for.
struct HuffmanSymbolMeaning {
  // Symbols below this count are plain values: symbols 0-255 literals, 256 the
  // end of block (for the code-length code: every symbol is plain).
  unsigned plainSymbols;
  // For symbol s >= plainSymbols: base[s - plainSymbols] and
  // extraBits[s - plainSymbols] (kOperationInvalid marks an unusable symbol).
  const uint16_t* base;
  const uint8_t* extraBits;
};

struct HuffmanTable {
  const HuffmanEntry* entries = nullptr;
  unsigned rootBits = 0;
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

// Turns every root entry of a literal/length table that holds a literal and,
// in its remaining index bits, the whole code of a second literal into one
// kOperationLiteralPair entry consuming both codes' bits: one lookup then
// writes two bytes. The table keeps its size and everything else.
void pairRootLiterals(HuffmanEntry* root, unsigned rootBits);

}  // namespace ks::cabinet
