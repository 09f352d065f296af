// Building DEFLATE decoding tables from code lengths.
//
// The layout is the classic one of the Info-ZIP/zlib 1.1 inflate: a root
// table of rootBits bits, and for the codes longer than that, sub-tables
// reached through link entries; a sub-table is made just wide enough for the
// codes that share its prefix: its width starts at the first such code's
// length minus the bits already resolved and grows one bit at a time while
// the codes of the following lengths would leave it partly empty, never
// beyond the root width nor beyond what the longest code needs. This keeps
// the tables small enough for the decoder's fixed pools (a code set whose
// tables do not fit its pool fails the block).

#include "cabinet/huffman_table.h"

#include <algorithm>
#include <array>

namespace ks::cabinet {
namespace {

constexpr unsigned kMaxCodeLength = 15;
// Levels: the root, a sub-table, and (for distance codes longer than twice
// the 6-bit root) a sub-sub-table. A table that leads further is always as
// wide as the root (it grows until its codes fill it or it reaches the root
// width), so with a root of at least 5 bits 15-bit codes need at most 3.
constexpr unsigned kMaxLevels = 4;
// The largest alphabet: the fixed literal/length code's 288 symbols.
constexpr unsigned kMaxSymbols = 288;

constexpr HuffmanEntry kInvalidEntry{0, kKindInvalid, 0};

// Every byte with its bits in reverse order: reversing a code takes two
// lookups instead of a loop over its bits.
constexpr auto kReversedBytes = [] {
  std::array<uint8_t, 256> reversed{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (byte & (1u << bit)) reversed[byte] |= static_cast<uint8_t>(0x80u >> bit);
    }
  }
  return reversed;
}();

// The low `length` bits of `code` (at most 16) in reverse order.
unsigned reverseBits(unsigned code, unsigned length) {
  return ((unsigned{kReversedBytes[code & 0xFF]} << 8) | kReversedBytes[(code >> 8) & 0xFF]) >>
         (16 - length);
}

// Width of the sub-table opened for a code of `length` bits when `resolved`
// bits are already resolved by the tables above it. remainingOfLength counts
// the codes of that length not yet placed, this one included.
unsigned subTableWidth(unsigned length, unsigned resolved, unsigned rootBits, unsigned longest,
                       unsigned remainingOfLength, const unsigned* lengthCount) {
  unsigned limit = std::min(longest - resolved, rootBits);
  unsigned width = length - resolved;
  if (width >= limit) return limit;  // a longer code continues in a further level
  unsigned patternsLeft = 1u << width;
  if (patternsLeft <= remainingOfLength) return width;
  patternsLeft -= remainingOfLength;
  unsigned nextLength = length;
  while (++width < limit) {
    ++nextLength;
    patternsLeft <<= 1;
    if (patternsLeft <= lengthCount[nextLength]) break;  // those codes fill it
    patternsLeft -= lengthCount[nextLength];
  }
  return width;
}

// The entry of a symbol whose code leaves ownBits bits after the tables
// above it.
HuffmanEntry entryForSymbol(unsigned symbol, unsigned ownBits,
                            const HuffmanSymbolMeaning& meaning) {
  const auto bits = static_cast<uint8_t>(ownBits);
  if (symbol < meaning.plainSymbols) {
    if (symbol >= 256) return HuffmanEntry{bits, kKindEndOfBlock, 0};
    return HuffmanEntry{bits, kKindLiteral, static_cast<uint16_t>(symbol)};
  }
  const unsigned index = symbol - meaning.plainSymbols;
  if (meaning.extraBits[index] == kUnusableSymbol) return HuffmanEntry{bits, kKindInvalid, 0};
  return HuffmanEntry{static_cast<uint8_t>(ownBits + meaning.extraBits[index]), bits,
                      meaning.base[index]};
}

}  // namespace

bool buildHuffmanTable(const uint8_t* lengths, unsigned count, const HuffmanSymbolMeaning& meaning,
                       unsigned requestedRootBits, bool acceptIncomplete, HuffmanEntry* pool,
                       unsigned poolSize, HuffmanTable* table) {
  if (count > kMaxSymbols || poolSize == 0) return false;
  unsigned lengthCount[kMaxCodeLength + 2] = {};
  for (unsigned symbol = 0; symbol < count; ++symbol) {
    if (lengths[symbol] > kMaxCodeLength) return false;
    ++lengthCount[lengths[symbol]];
  }
  if (lengthCount[0] == count) {
    // No codes at all: any lookup finds the invalid entry.
    pool[0] = kInvalidEntry;
    *table = HuffmanTable{pool, 0, 1};
    return true;
  }

  unsigned shortest = 1;
  while (lengthCount[shortest] == 0) ++shortest;
  unsigned longest = kMaxCodeLength;
  while (lengthCount[longest] == 0) --longest;
  unsigned rootBits = std::clamp(requestedRootBits, shortest, longest);

  // Over-subscribed codes fail; incomplete ones too, except a single one-bit
  // code and the fixed distance code (30 of 32 five-bit patterns used).
  int patternsLeft = 1;
  for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
    patternsLeft = (patternsLeft << 1) - static_cast<int>(lengthCount[length]);
    if (patternsLeft < 0) return false;
  }
  if (patternsLeft > 0 && longest != 1 && !acceptIncomplete) return false;

  // Symbols in canonical order: by code length, then by symbol value.
  unsigned firstOfLength[kMaxCodeLength + 2] = {};
  for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
    firstOfLength[length + 1] = firstOfLength[length] + lengthCount[length];
  }
  uint16_t sorted[kMaxSymbols];
  for (unsigned symbol = 0; symbol < count; ++symbol) {
    if (lengths[symbol] != 0)
      sorted[firstOfLength[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
  }

  unsigned used = 1u << rootBits;
  if (used > poolSize) return false;
  std::fill(pool, pool + used, kInvalidEntry);

  struct Level {
    unsigned base;      // pool index of the table's first entry
    unsigned resolved;  // code bits resolved by the tables above it
    unsigned width;     // index bits of the table
    unsigned prefix;    // the resolved low bits of the codes that lead to it
  };
  Level levels[kMaxLevels] = {{0, 0, rootBits, 0}};
  unsigned depth = 0;

  unsigned code = 0;  // canonical code, most significant bit first
  unsigned placed = 0;
  for (unsigned length = 1; length <= longest; ++length, code <<= 1) {
    for (unsigned n = 0; n < lengthCount[length]; ++n, ++code) {
      unsigned symbol = sorted[placed++];
      unsigned reversed = reverseBits(code, length);

      // Leave the sub-tables of the previous prefix once the codes move on.
      while (depth > 0 &&
             (reversed & ((1u << levels[depth].resolved) - 1)) != levels[depth].prefix) {
        --depth;
      }
      // Open the sub-tables this code needs.
      while (length > levels[depth].resolved + levels[depth].width) {
        if (depth + 1 >= kMaxLevels) return false;
        const Level& parent = levels[depth];
        unsigned resolved = parent.resolved + parent.width;
        unsigned width = subTableWidth(length, resolved, rootBits, longest, lengthCount[length] - n,
                                       lengthCount);
        unsigned size = 1u << width;
        if (used + size > poolSize) return false;
        std::fill(pool + used, pool + used + size, kInvalidEntry);
        unsigned parentIndex = (reversed >> parent.resolved) & ((1u << parent.width) - 1);
        pool[parent.base + parentIndex] =
            HuffmanEntry{static_cast<uint8_t>(parent.width),
                         static_cast<uint8_t>(kKindLink | width), static_cast<uint16_t>(used)};
        ++depth;
        levels[depth] = Level{used, resolved, width, reversed & ((1u << resolved) - 1)};
        used += size;
      }

      const Level& level = levels[depth];
      unsigned ownBits = length - level.resolved;
      const HuffmanEntry entry = entryForSymbol(symbol, ownBits, meaning);
      for (unsigned i = reversed >> level.resolved; i < (1u << level.width); i += 1u << ownBits) {
        pool[level.base + i] = entry;
      }
    }
  }
  *table = HuffmanTable{pool, rootBits, used};
  return true;
}

}  // namespace ks::cabinet
