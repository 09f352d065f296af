// Building decoding tables from code lengths: root widths, code
// set checks, pool limits, and that every code decodes to its symbol.

#include "cabinet/huffman_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/mszip/deflate_writer.h"

namespace ks::cabinet {
namespace {

const uint16_t kBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                            33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                            1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// Every symbol a base of its own number, without extra bits.
const uint16_t* symbolNumbers() {
  static uint16_t numbers[288];
  for (uint16_t s = 0; s < 288; ++s) numbers[s] = s;
  return numbers;
}
const uint8_t kNoExtra[288] = {};
const HuffmanSymbolMeaning kNumbered{0, symbolNumbers(), kNoExtra};
const HuffmanSymbolMeaning kPlain{288, nullptr, nullptr};
const HuffmanSymbolMeaning kDistances{0, kBase, kExtra};

bool build(const std::vector<uint8_t>& lengths, unsigned root, unsigned poolSize,
           HuffmanTable* table, bool acceptIncomplete = false,
           const HuffmanSymbolMeaning& meaning = kPlain) {
  static std::vector<HuffmanEntry> pool;
  pool.assign(poolSize, HuffmanEntry{});
  return buildHuffmanTable(lengths.data(), static_cast<unsigned>(lengths.size()), meaning, root,
                           acceptIncomplete, pool.data(), poolSize, table);
}

// The smallest pool a code set fits in.
unsigned entriesNeeded(const std::vector<uint8_t>& lengths, unsigned root) {
  HuffmanTable table;
  if (!build(lengths, root, 4096, &table)) return 0;
  unsigned low = 1;
  unsigned high = 4096;
  while (low < high) {
    unsigned mid = (low + high) / 2;
    if (build(lengths, root, mid, &table)) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low;
}

// Walks the table with the code's bits, as the decoder does.
HuffmanEntry lookup(const HuffmanTable& table, uint32_t reversedCode) {
  HuffmanEntry entry = table.entries[reversedCode & ((1u << table.rootBits) - 1)];
  uint32_t bits = reversedCode;
  while (isSubTableLink(entry.kind)) {
    bits >>= entry.bits;
    entry = table.entries[entry.value + (bits & ((1u << subTableBits(entry.kind)) - 1))];
  }
  return entry;
}

uint32_t reverse(uint32_t code, unsigned length) {
  uint32_t r = 0;
  for (unsigned i = 0; i < length; ++i) r = (r << 1) | ((code >> i) & 1);
  return r;
}

// Random complete code lengths (by splitting leaves of a random tree).
std::vector<uint8_t> randomCompleteLengths(unsigned symbols, unsigned maxLength,
                                           samples::SampleRandom& random) {
  std::vector<uint8_t> leaves = {1, 1};
  while (leaves.size() < symbols) {
    unsigned i = random.below(static_cast<uint32_t>(leaves.size()));
    if (leaves[i] >= maxLength) continue;
    ++leaves[i];
    leaves.push_back(leaves[i]);
  }
  // Shuffle the lengths over the symbols.
  for (size_t i = leaves.size(); i > 1; --i) std::swap(leaves[i - 1], leaves[random.below(i)]);
  return leaves;
}

TEST(HuffmanTable, FixedLiteralCodeFitsItsPool) {
  std::vector<uint8_t> lengths(288);
  for (unsigned i = 0; i < 288; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
  // With a 7-bit root: 128 root entries, 76 two-entry sub-tables for the
  // 8-bit codes and 28 four-entry ones for the 9-bit codes. The decoder uses
  // a 9-bit root: one table of 512 entries, no sub-tables.
  EXPECT_EQ(entriesNeeded(lengths, 7), 392u);
  EXPECT_EQ(entriesNeeded(lengths, 9), 512u);
  HuffmanTable table;
  EXPECT_TRUE(build(lengths, 9, 520, &table));
  EXPECT_EQ(table.rootBits, 9u);
}

TEST(HuffmanTable, FixedDistanceCodeIsAcceptedAlthoughIncomplete) {
  std::vector<uint8_t> lengths(30, 5);
  HuffmanTable table;
  EXPECT_FALSE(build(lengths, 5, 32, &table, false, kDistances));
  ASSERT_TRUE(build(lengths, 5, 32, &table, true, kDistances));
  EXPECT_EQ(table.rootBits, 5u);
  // The two unused patterns (codes 11110 and 11111) are invalid.
  EXPECT_EQ(lookup(table, reverse(30, 5)).kind, kKindInvalid);
  EXPECT_EQ(lookup(table, reverse(31, 5)).kind, kKindInvalid);
  // Distance 24577: a 5-bit code and 13 extra bits, consumed together.
  const HuffmanEntry last = lookup(table, reverse(29, 5));
  EXPECT_EQ(last.value, 24577);
  EXPECT_EQ(last.kind, 5);
  EXPECT_EQ(last.bits, 5 + 13);
  EXPECT_EQ(entryExtraBits(0x5A5A5ull << 5 | reverse(29, 5), entryWord(last)), 0x5A5A5u & 0x1FFF);
}

TEST(HuffmanTable, AllLengthsZeroGiveAnEmptyTable) {
  HuffmanTable table;
  ASSERT_TRUE(build(std::vector<uint8_t>(30, 0), 6, 150, &table));
  EXPECT_EQ(table.rootBits, 0u);
  EXPECT_EQ(table.entries[0].kind, kKindInvalid);
}

TEST(HuffmanTable, RootWidthFollowsTheCodeLengths) {
  HuffmanTable table;
  ASSERT_TRUE(build({2, 2, 2, 2}, 9, 800, &table));
  EXPECT_EQ(table.rootBits, 2u);  // lowered to the longest code
  std::vector<uint8_t> eightBits(256, 8);
  ASSERT_TRUE(build(eightBits, 7, 800, &table));
  EXPECT_EQ(table.rootBits, 8u);  // raised to the shortest code
}

TEST(HuffmanTable, CodeSetChecks) {
  HuffmanTable table;
  EXPECT_TRUE(build({1}, 6, 150, &table));  // one code of one bit
  EXPECT_TRUE(build({0, 1, 0}, 6, 150, &table));
  EXPECT_FALSE(build({1, 2}, 6, 150, &table));     // incomplete, longest 2
  EXPECT_FALSE(build({1, 1, 1}, 6, 150, &table));  // over-subscribed
  EXPECT_FALSE(build({1, 1, 2}, 6, 150, &table, true));
  EXPECT_TRUE(build({1, 2, 2}, 6, 150, &table));
}

TEST(HuffmanTable, EveryCodeDecodesToItsSymbol) {
  samples::SampleRandom random(7);
  for (int round = 0; round < 300; ++round) {
    unsigned symbols = 2 + random.below(287);
    unsigned root = 5 + random.below(5);
    std::vector<uint8_t> lengths = randomCompleteLengths(symbols, 15, random);
    HuffmanTable table;
    ASSERT_TRUE(build(lengths, root, 4096, &table, false, kNumbered)) << round;
    std::vector<uint32_t> codes = testing::canonicalCodes(lengths);
    for (unsigned s = 0; s < symbols; ++s) {
      HuffmanEntry entry = lookup(table, reverse(codes[s], lengths[s]));
      ASSERT_EQ(entry.value, s);
      // It consumes the code's bits left after the tables above it.
      if (lengths[s] <= table.rootBits) {
        ASSERT_EQ(entry.bits, lengths[s]);
      } else {
        ASSERT_LE(entry.bits, lengths[s] - table.rootBits);
      }
      ASSERT_EQ(entry.kind, entry.bits);
    }
  }
}

// A complete literal/length code of 282 symbols (counts per length 1 to 15)
// whose tables need 836 entries with a 9-bit root: more than the 800-entry
// pool.
std::vector<uint8_t> oversizedLiteralLengths() {
  const unsigned kCounts[16] = {0, 1, 0, 3, 1, 0, 2, 1, 1, 3, 5, 1, 0, 1, 5, 258};
  const std::vector<uint8_t> lengths = testing::lengthsFromCounts(kCounts);
  return lengths;
}

TEST(HuffmanTable, TableLargerThanItsPoolFails) {
  std::vector<uint8_t> lengths = oversizedLiteralLengths();
  ASSERT_EQ(lengths.size(), 282u);
  EXPECT_EQ(entriesNeeded(lengths, 9), 836u);
  HuffmanTable table;
  EXPECT_FALSE(build(lengths, 9, 800, &table));
}

TEST(HuffmanTable, DistanceCodesFitTheirPool) {
  // A deep 29-symbol distance code needs exactly the whole 150-entry pool
  // with a 6-bit root (the worst codes need more: huffman_pool_bounds_test).
  const unsigned kCounts[16] = {0, 1, 1, 1, 1, 1, 0, 3, 1, 1, 0, 1, 2, 5, 1, 10};
  const std::vector<uint8_t> lengths = testing::lengthsFromCounts(kCounts);
  ASSERT_EQ(lengths.size(), 29u);
  EXPECT_EQ(entriesNeeded(lengths, 6), 150u);
}

}  // namespace
}  // namespace ks::cabinet
