// Decoding MSZIP blocks: zlib's streams at several levels and
// strategies with the previous block as preset dictionary, hand-made streams
// for each rule of the format, and every failure.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/mszip/deflate_writer.h"
#include "tests/unit/mszip/mszip_test_support.h"
#include "tests/unit/mszip/test_allocator.h"
#include "tests/unit/mszip/zlib_mszip_blocks.h"

namespace ks::testing {
namespace {

using samples::mszipCompressFolder;

class MszipStreams : public ::testing::Test {
 protected:
  void SetUp() override { TestAllocator::reset(); }
  void TearDown() override { TestAllocator::reset(); }
  MszipFolderDecoder decoder;
};

// ---------------------------------------------------------------------------
// zlib round trips

using samples::sampleOf;
using samples::Shape;

struct ZlibCase {
  int level;
  int strategy;
  const char* name;
};
constexpr ZlibCase kZlibCases[] = {
    {0, Z_DEFAULT_STRATEGY, "Stored"},
    {1, Z_DEFAULT_STRATEGY, "Fastest"},
    {6, Z_DEFAULT_STRATEGY, "Default"},
    {9, Z_DEFAULT_STRATEGY, "Best"},
    {6, Z_FIXED, "FixedCodes"},
    {6, Z_HUFFMAN_ONLY, "HuffmanOnly"},
    {6, Z_RLE, "Rle"},
    {6, Z_FILTERED, "Filtered"},
};

class MszipZlibRoundTrip : public ::testing::TestWithParam<std::tuple<ZlibCase, Shape>> {
 protected:
  void SetUp() override { TestAllocator::reset(); }
  void TearDown() override { TestAllocator::reset(); }
};

TEST_P(MszipZlibRoundTrip, FolderOfSeveralBlocksDecodesToTheOriginal) {
  auto [zlibCase, shape] = GetParam();
  // Five full blocks and a partial one.
  std::vector<uint8_t> data = sampleOf(shape, 5 * 32768 + 12345);
  auto blocks = mszipCompressFolder(data, zlibCase.level, zlibCase.strategy);
  ASSERT_EQ(blocks.size(), 6u);
  for (const auto& block : blocks) ASSERT_LE(block.size(), 32780u);
  MszipFolderDecoder decoder;
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
}

std::string roundTripName(const ::testing::TestParamInfo<std::tuple<ZlibCase, Shape>>& info) {
  static const char* const kShapes[] = {"Text",  "Binary", "Random",    "Runs",
                                        "Zeros", "",       "Executable"};
  return std::string(std::get<0>(info.param).name) +
         kShapes[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(AllLevelsAndShapes, MszipZlibRoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kZlibCases),
                                            ::testing::Values(Shape::kText, Shape::kBinary,
                                                              Shape::kRandom, Shape::kRuns,
                                                              Shape::kZeros, Shape::kExecutable)),
                         roundTripName);

TEST_F(MszipStreams, SecondBlockReachesBackIntoTheFirst) {
  // The second block repeats the first block's second half twice: with the
  // first block as dictionary, zlib codes it as matches of distance 16384,
  // which for the first half of the block reach into the previous block.
  std::vector<uint8_t> first = samples::randomSample(32768, 11);
  std::vector<uint8_t> data = first;
  data.insert(data.end(), first.begin() + 16384, first.end());
  data.insert(data.end(), first.begin() + 16384, first.end());
  auto blocks = mszipCompressFolder(data, 9, Z_DEFAULT_STRATEGY);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_LT(blocks[1].size(), 1000u);  // really made of matches
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
}

TEST_F(MszipStreams, EmptyStreamProducesNothing) {
  auto blocks = mszipCompressFolder({}, 6, Z_DEFAULT_STRATEGY);
  ASSERT_EQ(blocks.size(), 1u);
  std::vector<uint8_t> produced{1};
  EXPECT_EQ(decoder.decode(blocks[0], &produced), DECODER_OK);
  EXPECT_TRUE(produced.empty());
}

TEST_F(MszipStreams, ZeroBytesAllowedProducesNothing) {
  auto blocks = mszipCompressFolder(samples::textSample(100), 6, Z_DEFAULT_STRATEGY);
  std::vector<uint8_t> produced{1};
  EXPECT_EQ(decoder.decode(blocks[0], &produced, 0), DECODER_OK);
  EXPECT_TRUE(produced.empty());
}

TEST_F(MszipStreams, OverLongStreamYieldsExactlyTheAllowedCount) {
  for (Shape shape : {Shape::kText, Shape::kRuns, Shape::kRandom}) {
    std::vector<uint8_t> data = sampleOf(shape, 5000);
    for (int level : {0, 1, 9}) {
      auto blocks = mszipCompressFolder(data, level, Z_DEFAULT_STRATEGY);
      for (uint32_t allowed : {1u, 999u, 1000u, 4999u}) {
        std::vector<uint8_t> produced;
        ASSERT_EQ(decoder.decode(blocks[0], &produced, allowed), DECODER_OK);
        EXPECT_EQ(produced, std::vector<uint8_t>(data.begin(), data.begin() + allowed));
      }
    }
  }
}

TEST_F(MszipStreams, MatchCutByTheAllowedCount) {
  // "ab" then a match of length 258 at distance 2; only 100 bytes allowed.
  DeflateWriter out;
  HuffmanWriterCode literals = fixedLiteralCode();
  HuffmanWriterCode distances = fixedDistanceCode();
  out.blockHeader(true, 1);
  literals.write(out, 'a');
  literals.write(out, 'b');
  literals.write(out, 285);  // length 258
  distances.write(out, 1);   // distance 2
  literals.write(out, 256);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced, 100), DECODER_OK);
  ASSERT_EQ(produced.size(), 100u);
  for (size_t i = 0; i < produced.size(); ++i) EXPECT_EQ(produced[i], i % 2 ? 'b' : 'a');
}

// ---------------------------------------------------------------------------
// The history ring

// Reference: a match copied byte by byte through the 32768-byte ring.
void referenceCopy(std::vector<uint8_t>& ring, uint32_t& cursor, uint32_t distance,
                   uint32_t length) {
  for (uint32_t i = 0; i < length; ++i, ++cursor) {
    ring[cursor] = ring[(cursor + 32768 - distance) % 32768];
  }
}

TEST_F(MszipStreams, MatchWrapsFromThePreviousBlockToTheStart) {
  std::vector<uint8_t> first(32768);
  for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<uint8_t>(i * 7 % 251);
  DeflateWriter block1;
  block1.storedBlock(true, first);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(block1.bytes(), &produced), DECODER_OK);

  // Two literals, then a match at distance 5 (three bytes back into the
  // previous block's end, then on through the buffer's start) of length 20,
  // then one of distance 32768 (the byte at the same ring offset).
  DeflateWriter block2;
  HuffmanWriterCode literals = fixedLiteralCode();
  HuffmanWriterCode distances = fixedDistanceCode();
  block2.blockHeader(true, 1);
  literals.write(block2, 'x');
  literals.write(block2, 'y');
  literals.write(block2, 257 + 12);  // lengths 19-22: 2 extra bits
  block2.bits(1, 2);                 // 20
  distances.write(block2, 4);        // distances 5-6: 1 extra bit
  block2.bits(0, 1);                 // 5
  literals.write(block2, 257 + 7);   // length 10
  distances.write(block2, 29);       // 24577 + 13 extra bits
  block2.bits(8191, 13);             // 32768
  literals.write(block2, 256);

  std::vector<uint8_t> ring = decoder.window();
  uint32_t cursor = 0;
  ring[cursor++] = 'x';
  ring[cursor++] = 'y';
  referenceCopy(ring, cursor, 5, 20);
  referenceCopy(ring, cursor, 32768, 10);

  ASSERT_EQ(decoder.decode(block2.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, std::vector<uint8_t>(ring.begin(), ring.begin() + cursor));
  EXPECT_EQ(produced[2], first[32765]);
  EXPECT_EQ(produced[5], 'x');
}

TEST_F(MszipStreams, FirstBlockDistanceBeyondItsOutputReadsTheBufferEnd) {
  // Nothing written yet: the match reads whatever the buffer's end holds; it
  // is not an error and stays inside the buffer.
  std::fill(decoder.window().begin(), decoder.window().end(), 0xEE);
  DeflateWriter out;
  HuffmanWriterCode literals = fixedLiteralCode();
  HuffmanWriterCode distances = fixedDistanceCode();
  out.blockHeader(true, 1);
  literals.write(out, 285);  // 258
  distances.write(out, 16);  // 257 + 7 extra bits
  out.bits(0, 7);
  literals.write(out, 256);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, std::vector<uint8_t>(258, 0xEE));
}

TEST_F(MszipStreams, ShortDistancesRepeatTheBytesJustWritten) {
  // Overlapping copies of every distance from 1 to 9 with long lengths.
  DeflateWriter out;
  HuffmanWriterCode literals = fixedLiteralCode();
  HuffmanWriterCode distances = fixedDistanceCode();
  out.blockHeader(true, 1);
  std::vector<uint8_t> ring(32768);
  uint32_t cursor = 0;
  for (uint8_t c = 'a'; c < 'a' + 9; ++c) {
    literals.write(out, c);
    ring[cursor++] = c;
  }
  const unsigned kDistanceSymbol[] = {0, 0, 1, 2, 3, 4, 4, 5, 5, 6};
  const unsigned kDistanceExtra[] = {0, 0, 0, 0, 0, 0, 1, 0, 1, 0};
  for (unsigned distance = 1; distance <= 9; ++distance) {
    literals.write(out, 284);  // 227 + 5 extra bits
    out.bits(distance, 5);
    distances.write(out, kDistanceSymbol[distance]);
    if (distance >= 5) out.bits(kDistanceExtra[distance], distance >= 9 ? 2 : 1);
    referenceCopy(ring, cursor, distance, 227 + distance);
  }
  literals.write(out, 256);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, std::vector<uint8_t>(ring.begin(), ring.begin() + cursor));
}

// Writes a match with the given codes: the length and distance symbols and
// their extra bits, from the RFC 1951 tables.
void writeMatch(DeflateWriter& out, const HuffmanWriterCode& literals,
                const HuffmanWriterCode& distances, unsigned length, unsigned distance) {
  static constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                               15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                               67, 83, 99, 115, 131, 163, 195, 227, 258};
  static constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                               2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  static constexpr uint32_t kDistanceBase[30] = {
      1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
      193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  unsigned l = 28;
  while (kLengthBase[l] > length) --l;
  literals.write(out, 257 + l);
  out.bits(length - kLengthBase[l], kLengthExtra[l]);
  unsigned d = 29;
  while (kDistanceBase[d] > distance) --d;
  distances.write(out, d);
  out.bits(distance - kDistanceBase[d], d < 4 ? 0 : (d - 2) / 2);
}

void writeFixedMatch(DeflateWriter& out, unsigned length, unsigned distance) {
  static const HuffmanWriterCode literals = fixedLiteralCode();
  static const HuffmanWriterCode distances = fixedDistanceCode();
  writeMatch(out, literals, distances, length, distance);
}

TEST_F(MszipStreams, MatchCopiesOfShortDistancesLeaveThePreviousBlockIntact) {
  // The word-wise copies may write up to 16 bytes past a match and put
  // those bytes back: they are the previous block's, which a match of
  // distance 32767 and length 17 right after reads. Every distance up to 20 and some longer ones,
  // each with lengths around the copy widths, first far from the end of the output, then cut at
  // many counts near it.
  std::vector<uint8_t> first(32768);
  for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<uint8_t>(i * 7 % 251);
  DeflateWriter block1;
  block1.storedBlock(true, first);

  DeflateWriter block2;
  HuffmanWriterCode literals = fixedLiteralCode();
  block2.blockHeader(true, 1);
  std::vector<uint8_t> ring = first;
  uint32_t cursor = 0;
  for (unsigned i = 0; i < 40; ++i, ++cursor) {
    ring[cursor] = static_cast<uint8_t>('A' + i);
    literals.write(block2, ring[cursor]);
  }
  std::vector<unsigned> distances;
  for (unsigned distance = 1; distance <= 20; ++distance) distances.push_back(distance);
  for (unsigned distance : {31u, 32u, 33u, 40u}) distances.push_back(distance);
  for (unsigned distance : distances) {
    for (unsigned length :
         {3u, 4u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 24u, 31u, 32u, 33u, 100u, 258u}) {
      writeFixedMatch(block2, length, distance);
      referenceCopy(ring, cursor, distance, length);
      writeFixedMatch(block2, 17, 32767);
      referenceCopy(ring, cursor, 32767, 17);
    }
  }
  literals.write(block2, 256);
  ASSERT_LT(cursor, 32768u - 600);

  std::vector<uint8_t> produced;
  for (uint32_t allowed = cursor; allowed > cursor - 600; allowed -= 37) {
    ASSERT_EQ(decoder.decode(block1.bytes(), &produced), DECODER_OK);
    ASSERT_EQ(decoder.decode(block2.bytes(), &produced, allowed), DECODER_OK);
    ASSERT_EQ(produced, std::vector<uint8_t>(ring.begin(), ring.begin() + allowed)) << allowed;
  }
}

TEST_F(MszipStreams, DeepCodesAndTheLongestItemsDecodeInTheFastLoop) {
  // Literal and length codes of up to 15 bits (through sub-tables of the
  // 9-bit root) and a distance code of up to 15 bits (through a third
  // level), with the longest item: a 15-bit length code with 5 extra bits
  // and a 15-bit distance code with 13 extra bits, 48 bits in all.
  // Literal/length lengths: 238 codes of 8 bits, 34 of 9, then 2 each of
  // 10 to 14 bits and 4 of 15 (complete, 286 symbols).
  const std::vector<unsigned> deep = {'q', 'z', 'j', 258, 'k', 262, 256,
                                      270, 'v', 280, 'w', 284, 285, 'y'};
  const uint8_t kDeepLengths[] = {10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 15, 15};
  std::vector<uint8_t> literalLengths(286, 8);
  for (size_t i = 0; i < deep.size(); ++i) literalLengths[deep[i]] = kDeepLengths[i];
  unsigned nineBits = 0;
  for (unsigned symbol = 285; nineBits < 34; --symbol) {
    if (literalLengths[symbol] == 8) {
      literalLengths[symbol] = 9;
      ++nineBits;
    }
  }
  // Distance lengths 1 to 15 (29 symbols): the longest for the distances
  // with 13 extra bits.
  const unsigned kCounts[16] = {0, 1, 1, 1, 1, 1, 0, 3, 1, 1, 0, 1, 2, 5, 1, 10};
  const std::vector<uint8_t> distanceLengths = lengthsFromCounts(kCounts);
  DeflateWriter out;
  writeDynamicHeader(out, true, literalLengths, distanceLengths);
  HuffmanWriterCode literals(literalLengths);
  HuffmanWriterCode distances(distanceLengths);
  std::vector<uint8_t> ring(32768);
  uint32_t cursor = 0;
  samples::SampleRandom random(5);
  const std::string alphabet = "qzjkvwyabc";
  while (cursor < 300) {
    ring[cursor++] = static_cast<uint8_t>(alphabet[random.below(10)]);
    literals.write(out, ring[cursor - 1]);
  }
  while (cursor < 25000) {  // history for the far distances, in long matches
    writeMatch(out, literals, distances, 258, 299);
    referenceCopy(ring, cursor, 299, 258);
  }
  for (unsigned distance : {1u, 2u, 5u, 100u, 1000u, 8193u, 16385u, 24576u}) {
    for (unsigned length : {3u, 4u, 23u, 150u, 250u, 257u}) {
      writeMatch(out, literals, distances, length, distance);
      referenceCopy(ring, cursor, distance, length);
      ring[cursor++] = 'w';
      literals.write(out, 'w');
    }
  }
  literals.write(out, 256);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, std::vector<uint8_t>(ring.begin(), ring.begin() + cursor));
}

// A dynamic block of very short literal codes, many to one refill: 'a' 1
// bit, 'b' 2, the end of block 3, 'c' 4, length symbols 257 and 258 5 bits
// each; one distance code of one bit.
DeflateWriter shortLiteralsBlock(const std::string& text, bool endOfBlock) {
  std::vector<uint8_t> lengths(259, 0);
  lengths['a'] = 1;
  lengths['b'] = 2;
  lengths[256] = 3;
  lengths['c'] = 4;
  lengths[257] = 5;
  lengths[258] = 5;
  DeflateWriter out;
  writeDynamicHeader(out, true, lengths, {1});
  HuffmanWriterCode code(lengths);
  for (char c : text) code.write(out, static_cast<uint8_t>(c));
  if (endOfBlock) code.write(out, 256);
  return out;
}

TEST_F(MszipStreams, ShortLiteralsStopAtTheAllowedCountAndTheBufferEnd) {
  // Every count cuts the literals after a different one.
  std::string text;
  for (int i = 0; i < 300; ++i) text += "abacbbaca"[i % 9];
  DeflateWriter block = shortLiteralsBlock(text, true);
  std::vector<uint8_t> produced;
  for (uint32_t allowed = 1; allowed <= text.size(); ++allowed) {
    ASSERT_EQ(decoder.decode(block.bytes(), &produced, allowed), DECODER_OK);
    ASSERT_EQ(std::string(produced.begin(), produced.end()), text.substr(0, allowed));
  }
  // A block one literal longer than the buffer: cut at the buffer's end.
  std::string full(32769, 'a');
  ASSERT_EQ(decoder.decode(shortLiteralsBlock(full, true).bytes(), &produced), DECODER_OK);
  EXPECT_EQ(std::string(produced.begin(), produced.end()), full.substr(0, 32768));
}

TEST_F(MszipStreams, ShortLiteralsReadZerosPastTheInputEnd) {
  // No end of block: once the input is used up, the zero bits read as 'a'
  // (code 0) until the output is full.
  std::string text = "bcbcbbcb";
  std::vector<uint8_t> produced;
  for (uint32_t allowed : {8u, 9u, 10u, 301u, 32768u}) {
    ASSERT_EQ(decoder.decode(shortLiteralsBlock(text, false).bytes(), &produced, allowed),
              DECODER_OK);
    std::string expected = text + std::string(allowed - text.size(), 'a');
    ASSERT_EQ(std::string(produced.begin(), produced.end()), expected) << allowed;
  }
}

// ---------------------------------------------------------------------------
// Block structure

TEST_F(MszipStreams, MissingCkFails) {
  auto blocks = mszipCompressFolder(samples::textSample(100), 6, Z_DEFAULT_STRATEGY);
  std::vector<uint8_t> block = blocks[0];
  block[1] = 'X';
  EXPECT_EQ(decoder.decode(block, nullptr), DECODER_FAILED);
  EXPECT_EQ(decoder.decode({'C'}, nullptr), DECODER_FAILED);
  EXPECT_EQ(decoder.decode({}, nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, BlockTypeThreeFails) {
  DeflateWriter out;
  out.blockHeader(true, 3).bits(0, 13);
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, DecodingEndsAfterTheFinalBlockAndIgnoresTheRest) {
  DeflateWriter out;
  out.storedBlock(false, {'a', 'b', 'c'});
  out.storedBlock(true, {'d', 'e', 'f'});
  out.storedBlock(true, {'g'});
  out.rawBytes({0xFF, 0xFF, 0xFF});
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e', 'f'}));
}

TEST_F(MszipStreams, StoredBlockAfterCodedBlockStartsAtTheNextByte) {
  DeflateWriter out;
  HuffmanWriterCode literals = fixedLiteralCode();
  out.blockHeader(false, 1);
  literals.write(out, 'Q');
  literals.write(out, 256);
  out.storedBlock(false, {'R', 'S'});
  out.blockHeader(true, 1);
  literals.write(out, 'T');
  literals.write(out, 256);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{'Q', 'R', 'S', 'T'}));
}

TEST_F(MszipStreams, StoredLengthCheckFails) {
  DeflateWriter out;
  out.storedBlockRaw(true, 3, 0x1234, {'a', 'b', 'c'});
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, StoredLengthPastTheInputFails) {
  DeflateWriter out;
  out.storedBlockRaw(true, 10, static_cast<uint16_t>(~10), {'a', 'b', 'c'});
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, StoredLengthPastTheInputIsHarmlessWhenTheOutputFillsFirst) {
  DeflateWriter out;
  out.storedBlockRaw(true, 10, static_cast<uint16_t>(~10), {'a', 'b', 'c'});
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced, 2), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{'a', 'b'}));
}

TEST_F(MszipStreams, TruncatedFixedBlockEndsThroughTheZeroBits) {
  // Seven zero bits are the fixed code of end-of-block: a final fixed block
  // cut before its end code decodes what it holds.
  DeflateWriter out;
  HuffmanWriterCode literals = fixedLiteralCode();
  out.blockHeader(true, 1);
  literals.write(out, 'H');
  literals.write(out, 'i');
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{'H', 'i'}));
}

TEST_F(MszipStreams, TruncatedNonFinalBlockFails) {
  // After the end code read from zeros, the next header reads as a stored
  // block whose LEN and NLEN are both zero.
  DeflateWriter out;
  HuffmanWriterCode literals = fixedLiteralCode();
  out.blockHeader(false, 1);
  literals.write(out, 'H');
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, TruncatedZlibStreamsOnlyEverSucceedOrFail) {
  // Cut at many places: the missing bytes read as zeros, the block ends or
  // fails, and nothing is read outside the input (checked by the sanitizers
  // the suite runs under).
  std::vector<uint8_t> data = samples::textSample(32768);
  auto blocks = mszipCompressFolder(data, 6, Z_DEFAULT_STRATEGY);
  for (size_t cut = 2; cut < blocks[0].size(); cut += 97) {
    std::vector<uint8_t> truncated(blocks[0].begin(), blocks[0].begin() + cut);
    std::vector<uint8_t> produced;
    DecoderResult result = decoder.decode(truncated, &produced);
    EXPECT_TRUE(result == DECODER_OK || result == DECODER_FAILED) << cut;
    EXPECT_LE(produced.size(), 32768u);
  }
}

// ---------------------------------------------------------------------------
// Fixed codes

TEST_F(MszipStreams, FixedDistanceCodes30And31Fail) {
  for (unsigned symbol : {30u, 31u}) {
    DeflateWriter out;
    HuffmanWriterCode literals = fixedLiteralCode();
    HuffmanWriterCode distances = fixedDistanceCode();
    out.blockHeader(true, 1);
    literals.write(out, 'a');
    literals.write(out, 257);
    distances.write(out, symbol);
    literals.write(out, 256);
    EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED) << symbol;
  }
}

TEST_F(MszipStreams, FixedLengthSymbols286And287Fail) {
  for (unsigned symbol : {286u, 287u}) {
    DeflateWriter out;
    HuffmanWriterCode literals = fixedLiteralCode();
    out.blockHeader(true, 1);
    literals.write(out, 'a');
    literals.write(out, symbol);
    out.bits(0, 16);
    EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED) << symbol;
  }
}

// ---------------------------------------------------------------------------
// Dynamic codes

// Literal/length lengths for 'A' (1 bit), end of block and length 3 (2 bits).
std::vector<uint8_t> smallLiteralLengths() {
  std::vector<uint8_t> lengths(258, 0);
  lengths['A'] = 1;
  lengths[256] = 2;
  lengths[257] = 2;
  return lengths;
}

// 'A', then a match of length 3 at distance 1, then the end code.
void writeAAAA(DeflateWriter& out, const std::vector<uint8_t>& literalLengths,
               const std::vector<uint8_t>& distanceLengths) {
  HuffmanWriterCode literals(literalLengths);
  HuffmanWriterCode distances(distanceLengths);
  literals.write(out, 'A');
  literals.write(out, 257);
  distances.write(out, 0);
  literals.write(out, 256);
}

TEST_F(MszipStreams, SingleOneBitDistanceCodeIsAccepted) {
  DeflateWriter out;
  writeDynamicHeader(out, true, smallLiteralLengths(), {1});
  writeAAAA(out, smallLiteralLengths(), {1});
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{'A', 'A', 'A', 'A'}));
}

TEST_F(MszipStreams, IncompleteDistanceCodeOfTwoLengthsFails) {
  DeflateWriter out;
  writeDynamicHeader(out, true, smallLiteralLengths(), {1, 2});
  writeAAAA(out, smallLiteralLengths(), {1, 2});
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, NoDistanceCodesFailOnlyWhenAMatchNeedsOne) {
  std::vector<uint8_t> literalLengths = smallLiteralLengths();
  {
    DeflateWriter out;
    writeDynamicHeader(out, true, literalLengths, {0});
    HuffmanWriterCode literals(literalLengths);
    literals.write(out, 'A');
    literals.write(out, 256);
    std::vector<uint8_t> produced;
    ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
    EXPECT_EQ(produced, (std::vector<uint8_t>{'A'}));
  }
  {
    DeflateWriter out;
    writeDynamicHeader(out, true, literalLengths, {0});
    HuffmanWriterCode literals(literalLengths);
    literals.write(out, 'A');
    literals.write(out, 257);
    out.bits(0, 8);
    EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
  }
}

TEST_F(MszipStreams, FirstCodeLengthSymbol16RepeatsZero) {
  // 16 before any length repeats length 0: symbols 0-2 get no code.
  std::vector<CodeLengthSymbol> symbols = {{16, 0},       {18, 62 - 11}, {1}, {18, 138 - 11},
                                           {18, 52 - 11}, {2},           {2}, {1}};
  DeflateWriter out;
  writeDynamicHeaderSymbols(out, true, 258, 1, symbols);
  writeAAAA(out, smallLiteralLengths(), {1});
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{'A', 'A', 'A', 'A'}));
}

TEST_F(MszipStreams, Symbol16RepeatsThePreviousLength) {
  // Literal lengths 'A' to 'D' 3 bits (a 3, then 16 repeating it three
  // times), 256 and 257 2 bits: 4/8 + 2/4 = 1.
  std::vector<uint8_t> literalLengths(258, 0);
  for (unsigned c = 'A'; c <= 'D'; ++c) literalLengths[c] = 3;
  literalLengths[256] = 2;
  literalLengths[257] = 2;
  std::vector<CodeLengthSymbol> symbols = {{18, 65 - 11}, {3}, {16, 0}, {18, 138 - 11},
                                           {18, 49 - 11}, {2}, {2},     {1}};
  DeflateWriter out;
  writeDynamicHeaderSymbols(out, true, 258, 1, symbols);
  HuffmanWriterCode literals(literalLengths);
  HuffmanWriterCode distances(std::vector<uint8_t>{1});
  for (unsigned c : {'D', 'C', 'B', 'A'}) literals.write(out, c);
  literals.write(out, 257);
  distances.write(out, 0);
  literals.write(out, 256);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{'D', 'C', 'B', 'A', 'A', 'A', 'A'}));
}

TEST_F(MszipStreams, CodeLengthRepeatPastTheEndFails) {
  DeflateWriter out;
  writeDynamicHeaderSymbols(out, true, 257, 1, {{18, 127}, {18, 127}});
  out.bits(0, 32);
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, TooManyLiteralOrDistanceCodesFail) {
  for (auto [literalField, distanceField] :
       {std::pair{30u, 0u}, std::pair{31u, 0u}, std::pair{0u, 30u}, std::pair{0u, 31u}}) {
    DeflateWriter out;
    out.blockHeader(true, 2).bits(literalField, 5).bits(distanceField, 5).bits(15, 4);
    for (int i = 0; i < 19; ++i) out.bits(4, 3);
    out.bits(0, 32);
    EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED)
        << literalField << " " << distanceField;
  }
}

TEST_F(MszipStreams, LargestCountsAreAccepted) {
  // HLIT 286 and HDIST 30, complete codes: 226 literal/length symbols of 8
  // bits and 60 of 9 (452 + 60 = 512 of 512); 2 distance symbols of 4 bits
  // and 28 of 5 (4 + 28 = 32 of 32).
  std::vector<uint8_t> literalLengths(286);
  for (unsigned s = 0; s < 286; ++s) literalLengths[s] = s < 226 ? 8 : 9;
  std::vector<uint8_t> distanceLengths(30);
  for (unsigned s = 0; s < 30; ++s) distanceLengths[s] = s < 2 ? 4 : 5;
  DeflateWriter out;
  writeDynamicHeader(out, true, literalLengths, distanceLengths);
  HuffmanWriterCode literals(literalLengths);
  HuffmanWriterCode distances(distanceLengths);
  literals.write(out, 'z');
  literals.write(out, 285);  // 258
  distances.write(out, 0);   // distance 1
  literals.write(out, 256);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(out.bytes(), &produced), DECODER_OK);
  EXPECT_EQ(produced, std::vector<uint8_t>(259, 'z'));
}

TEST_F(MszipStreams, OverSubscribedLiteralCodeFails) {
  std::vector<uint8_t> literalLengths(258, 0);
  literalLengths['A'] = 1;
  literalLengths['B'] = 1;
  literalLengths[256] = 1;
  DeflateWriter out;
  writeDynamicHeader(out, true, literalLengths, {1});
  out.bits(0, 16);
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, IncompleteLiteralCodeFails) {
  std::vector<uint8_t> literalLengths(258, 0);
  literalLengths['A'] = 1;
  literalLengths[256] = 2;
  DeflateWriter out;
  writeDynamicHeader(out, true, literalLengths, {1});
  out.bits(0, 16);
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, LiteralTableLargerThanItsPoolFails) {
  // A complete code whose tables need 836 entries (see the table tests).
  const unsigned kCounts[16] = {0, 1, 0, 3, 1, 0, 2, 1, 1, 3, 5, 1, 0, 1, 5, 258};
  const std::vector<uint8_t> literalLengths = lengthsFromCounts(kCounts);
  DeflateWriter out;
  writeDynamicHeader(out, true, literalLengths, {1});
  out.bits(0, 32);
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, DistanceTableLargerThanItsPoolFails) {
  // A complete 30-symbol distance code whose tables need 154 entries (the
  // worst case, see huffman_pool_bounds_test.cpp): more than the 150-entry
  // pool.
  const unsigned kCounts[16] = {0, 1, 1, 1, 1, 1, 0, 1, 5, 1, 0, 0, 0, 15, 1, 2};
  const std::vector<uint8_t> distanceLengths = lengthsFromCounts(kCounts);
  DeflateWriter out;
  writeDynamicHeader(out, true, smallLiteralLengths(), distanceLengths);
  writeAAAA(out, smallLiteralLengths(), distanceLengths);
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, IncompleteCodeLengthCodeFails) {
  DeflateWriter out;
  out.blockHeader(true, 2).bits(1, 5).bits(0, 5).bits(15, 4);
  for (int i = 0; i < 19; ++i) out.bits(i == 0 ? 2 : 0, 3);  // one code of 2 bits
  out.bits(0, 32);
  EXPECT_EQ(decoder.decode(out.bytes(), nullptr), DECODER_FAILED);
}

TEST_F(MszipStreams, DecodingIsIndependentOfTheDecoderInstance) {
  // The fixed tables are built once per decoder: a second decoder decodes the
  // same stream the same way.
  std::vector<uint8_t> data = samples::textSample(40000);
  auto blocks = mszipCompressFolder(data, 6, Z_FIXED);
  MszipFolderDecoder other;
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
  EXPECT_EQ(other.decodeFolder(blocks), data);
}

}  // namespace
}  // namespace ks::testing
