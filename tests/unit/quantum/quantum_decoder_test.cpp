// The Quantum decoder's interface and block decoding: creation
// and its query form, configuration and allocation failures, handle checks,
// the output limit, and hand-written streams for matches, exhausted input,
// window and models carried across blocks, and reset.

#include <gtest/gtest.h>

#include "cabinet/mszip.h"
#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/quantum/quantum_test_support.h"
#include "tools/cabwriter/quantum_item_encoder.h"

namespace ks::testing {
namespace {

class QuantumDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestAllocator::reset();
    MemorySpillFiles::reset();
  }
  void TearDown() override {
    EXPECT_TRUE(TestAllocator::live.empty()) << "allocations left behind";
    TestAllocator::reset();
  }

  static DecoderResult create(int windowBits, QuantumDecoder** handle, uint32_t* maximum = nullptr,
                              uint32_t* inputSize = nullptr) {
    uint32_t localMaximum = 32768;
    uint32_t localInputSize = 0;
    QuantumConfiguration configuration{windowBits, 1};
    return quantumCreate(maximum ? maximum : &localMaximum, &configuration, TestAllocator::alloc,
                         TestAllocator::free, inputSize ? inputSize : &localInputSize, handle,
                         MemorySpillFiles::open, MemorySpillFiles::read, MemorySpillFiles::write,
                         MemorySpillFiles::close, MemorySpillFiles::seek);
  }
};

TEST_F(QuantumDecoderTest, QueryGivesInputBufferSizeAndAllocatesNothing) {
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  EXPECT_EQ(create(21, nullptr, &maximum, &inputSize), DECODER_OK);
  EXPECT_EQ(inputSize, 43008u);
  for (uint32_t asked : {0u, 32769u}) {
    maximum = asked;
    EXPECT_EQ(create(16, nullptr, &maximum, &inputSize), DECODER_OK);
    EXPECT_EQ(maximum, 32768u);
    EXPECT_EQ(inputSize, 43008u);
  }
  maximum = 1000;
  EXPECT_EQ(create(16, nullptr, &maximum, &inputSize), DECODER_OK);
  EXPECT_EQ(inputSize, 11240u);
  EXPECT_EQ(TestAllocator::allocations, 0);
}

TEST_F(QuantumDecoderTest, WindowBitsOutsideTenToTwentyOneAreRefused) {
  QuantumDecoder* handle = nullptr;
  for (int bits : {-1, 0, 9, 22, 31}) {
    EXPECT_EQ(create(bits, nullptr), DECODER_BAD_CONFIGURATION) << bits;
    EXPECT_EQ(create(bits, &handle), DECODER_BAD_CONFIGURATION) << bits;
  }
  for (int bits : {10, 21}) {
    ASSERT_EQ(create(bits, &handle), DECODER_OK) << bits;
    EXPECT_EQ(quantumDestroy(handle), DECODER_OK);
  }
  EXPECT_EQ(MemorySpillFiles::opens, 0);
}

TEST_F(QuantumDecoderTest, RefusedHandleIsOutOfMemory) {
  TestAllocator::refuseAllocation = 1;
  QuantumDecoder* handle = reinterpret_cast<QuantumDecoder*>(this);
  EXPECT_EQ(create(16, &handle), DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(handle, nullptr);
}

TEST_F(QuantumDecoderTest, SmallWindowThatCannotBeAllocatedIsOutOfMemory) {
  // Windows below 16 KB are kept in memory always: no spill file.
  TestAllocator::refuseAllocation = 2;
  QuantumDecoder* handle = nullptr;
  EXPECT_EQ(create(13, &handle), DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(MemorySpillFiles::opens, 0);
}

TEST_F(QuantumDecoderTest, NullAndDestroyedHandlesAreRefused) {
  std::vector<uint8_t> output(32768);
  uint32_t size = 10;
  const uint8_t input[4] = {};
  EXPECT_EQ(quantumDecompress(nullptr, input, 4, output.data(), &size), DECODER_BAD_HANDLE);
  EXPECT_EQ(quantumReset(nullptr), DECODER_BAD_HANDLE);
  EXPECT_EQ(quantumDestroy(nullptr), DECODER_BAD_HANDLE);

  QuantumDecoder* handle = nullptr;
  ASSERT_EQ(create(16, &handle), DECODER_OK);
  ASSERT_EQ(quantumDestroy(handle), DECODER_OK);
  // The test allocator keeps freed memory: the cleared tag is seen.
  EXPECT_EQ(quantumDecompress(handle, input, 4, output.data(), &size), DECODER_BAD_HANDLE);
  EXPECT_EQ(quantumReset(handle), DECODER_BAD_HANDLE);
  EXPECT_EQ(quantumDestroy(handle), DECODER_BAD_HANDLE);
}

TEST_F(QuantumDecoderTest, HandlesOfTheOtherDecoderAreRefused) {
  QuantumDecoder* quantum = nullptr;
  ASSERT_EQ(create(16, &quantum), DECODER_OK);
  MszipDecoder* mszip = nullptr;
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  ASSERT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, &mszip),
            DECODER_OK);
  EXPECT_EQ(quantumReset(reinterpret_cast<QuantumDecoder*>(mszip)), DECODER_BAD_HANDLE);
  EXPECT_EQ(mszipReset(reinterpret_cast<MszipDecoder*>(quantum)), DECODER_BAD_HANDLE);
  EXPECT_EQ(quantumDestroy(quantum), DECODER_OK);
  EXPECT_EQ(mszipDestroy(mszip), DECODER_OK);
}

TEST_F(QuantumDecoderTest, OutputAboveTheMaximumBlockSizeOverflows) {
  QuantumDecoder* handle = nullptr;
  uint32_t maximum = 1000;
  ASSERT_EQ(create(16, &handle, &maximum), DECODER_OK);
  std::vector<uint8_t> output(32768);
  std::vector<uint8_t> input(100, 0);
  uint32_t size = 1001;
  EXPECT_EQ(quantumDecompress(handle, input.data(), 100, output.data(), &size),
            DECODER_BUFFER_OVERFLOW);
  EXPECT_EQ(size, 1001u);
  EXPECT_EQ(quantumDestroy(handle), DECODER_OK);
}

// ---------------------------------------------------------------------------
// Hand-written streams

class QuantumStreams : public QuantumDecoderTest {
 protected:
  QuantumStreams() : items(16) {}
  cabwriter::QuantumItemEncoder items;
};

TEST_F(QuantumStreams, DistanceOneLength259RepeatsThePreviousByte) {
  items.literal('x');
  items.match(259, 1);
  std::vector<uint8_t> block = items.finishBlock();
  QuantumFolderDecoder decoder(16);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(block, 260, &produced), DECODER_OK);
  EXPECT_EQ(produced, std::vector<uint8_t>(260, 'x'));
}

TEST_F(QuantumStreams, MatchPastTheRequestedOutputFails) {
  items.literal('x');
  items.match(259, 1);
  std::vector<uint8_t> block = items.finishBlock();
  QuantumFolderDecoder decoder(16);
  EXPECT_EQ(decoder.decode(block, 100, nullptr), DECODER_FAILED);
}

TEST_F(QuantumStreams, AllKindsOfMatch) {
  // Lengths 3, 4 and 5 to 259 at distances of every position slot the
  // models allow.
  std::vector<uint8_t> expected = samples::textSample(5000, 3);
  for (uint8_t byte : expected) items.literal(byte);
  uint32_t total = static_cast<uint32_t>(expected.size());
  auto addMatch = [&](uint32_t length, uint32_t distance) {
    items.match(length, distance);
    for (uint32_t i = 0; i < length; ++i) expected.push_back(expected[expected.size() - distance]);
    total += length;
  };
  for (uint32_t distance = 1; distance <= 4096; distance = distance * 2 + 1) addMatch(3, distance);
  for (uint32_t distance = 1; distance <= 5000; distance = distance * 3 + 1) addMatch(4, distance);
  for (uint32_t length = 5; length <= 259; length += 23) addMatch(length, length * 13 % 5000 + 1);
  addMatch(259, 5000);
  std::vector<uint8_t> block = items.finishBlock();
  ASSERT_LE(total, 32768u);
  QuantumFolderDecoder decoder(16);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(block, total, &produced), DECODER_OK);
  EXPECT_EQ(produced, expected);
}

TEST_F(QuantumStreams, InputEndingOneBitEarlyFails) {
  // Add literals until the decoder's last needed bit is the only one in the
  // block's last byte; without that byte the block fails.
  uint32_t bits = 0;
  std::vector<uint8_t> block;
  uint32_t count = 0;
  do {
    ASSERT_LT(++count, 200u);
    cabwriter::QuantumItemEncoder writer(16);
    for (uint32_t i = 0; i < count; ++i) writer.literal(static_cast<uint8_t>('a' + i % 26));
    block = writer.finishBlock(&bits);
  } while (bits % 8 != 1);
  ASSERT_EQ(block.size(), (bits + 7) / 8);
  QuantumFolderDecoder decoder(16);
  ASSERT_EQ(decoder.decode(block, count, nullptr), DECODER_OK);
  block.pop_back();
  QuantumFolderDecoder other(16);
  EXPECT_EQ(other.decode(block, count, nullptr), DECODER_FAILED);
}

TEST_F(QuantumStreams, EmptyInputFails) {
  QuantumFolderDecoder decoder(16);
  EXPECT_EQ(decoder.decode({}, 0, nullptr), DECODER_FAILED);  // value needs 16 bits
  EXPECT_EQ(decoder.decode({0, 0}, 0, nullptr), DECODER_OK);
}

TEST_F(QuantumStreams, TruncatedAndCorruptBlocksFailWithoutReadingOutside) {
  std::vector<uint8_t> data = samples::textSample(32768, 8);
  auto blocks = quantumCompressFolder(data, 16);
  const std::vector<uint8_t>& good = blocks[0].compressed;
  for (size_t cut = 0; cut < good.size(); cut += good.size() / 17 + 1) {
    QuantumFolderDecoder decoder(16);
    std::vector<uint8_t> truncated(good.begin(), good.begin() + cut);
    EXPECT_EQ(decoder.decode(truncated, 32768, nullptr), DECODER_FAILED) << cut;
  }
  samples::SampleRandom random(5);
  for (int round = 0; round < 40; ++round) {
    std::vector<uint8_t> corrupt = good;
    corrupt[random.below(static_cast<uint32_t>(corrupt.size()))] ^=
        static_cast<uint8_t>(1 + random.below(255));
    QuantumFolderDecoder decoder(16);
    std::vector<uint8_t> produced;
    // A flipped byte either fails the block or decodes to other bytes; it
    // never reads outside the input or the window (the sanitizers check).
    DecoderResult result = decoder.decode(corrupt, 32768, &produced);
    EXPECT_TRUE(result == DECODER_FAILED || result == DECODER_OK);
  }
  QuantumFolderDecoder decoder(16);
  std::vector<uint8_t> noise = samples::randomSample(3000, 6);
  EXPECT_EQ(decoder.decode(noise, 32768, nullptr), DECODER_FAILED);
}

TEST_F(QuantumStreams, SecondBlockReachesIntoTheFirstUntilAReset) {
  std::vector<uint8_t> first = samples::randomSample(1000, 4);
  for (uint8_t byte : first) items.literal(byte);
  std::vector<uint8_t> block1 = items.finishBlock();
  items.match(259, 1000);  // the first 259 bytes of the first block
  items.literal('!');
  std::vector<uint8_t> block2 = items.finishBlock();

  QuantumFolderDecoder decoder(16);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(block1, 1000, &produced), DECODER_OK);
  EXPECT_EQ(produced, first);
  ASSERT_EQ(decoder.decode(block2, 260, &produced), DECODER_OK);
  std::vector<uint8_t> expected(first.begin(), first.begin() + 259);
  expected.push_back('!');
  EXPECT_EQ(produced, expected);

  // After a reset the first block decodes again from fresh models; the
  // second block alone (fresh models, window position 0) does not give the
  // same bytes.
  ASSERT_EQ(quantumReset(decoder.handle()), DECODER_OK);
  ASSERT_EQ(decoder.decode(block1, 1000, &produced), DECODER_OK);
  EXPECT_EQ(produced, first);
  ASSERT_EQ(quantumReset(decoder.handle()), DECODER_OK);
  DecoderResult result = decoder.decode(block2, 260, &produced);
  EXPECT_TRUE(result == DECODER_FAILED || produced != expected);
}

TEST_F(QuantumStreams, ModelsCarryOverFromBlockToBlock) {
  // The same text twice in two blocks: the second block, coded with the
  // adapted models, is smaller; decoding it needs those models.
  std::vector<uint8_t> text = samples::textSample(3000, 12);
  for (uint8_t byte : text) items.literal(byte);
  std::vector<uint8_t> block1 = items.finishBlock();
  for (uint8_t byte : text) items.literal(byte);
  std::vector<uint8_t> block2 = items.finishBlock();
  EXPECT_LT(block2.size(), block1.size());

  QuantumFolderDecoder decoder(16);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(block1, 3000, &produced), DECODER_OK);
  ASSERT_EQ(decoder.decode(block2, 3000, &produced), DECODER_OK);
  EXPECT_EQ(produced, text);
  QuantumFolderDecoder fresh(16);
  DecoderResult result = fresh.decode(block2, 3000, &produced);
  EXPECT_TRUE(result == DECODER_FAILED || produced != text);
}

TEST_F(QuantumStreams, MatchAtTheFullWindowDistance) {
  // Distance = window size (1024 for 10 bits): the byte about to be
  // overwritten in the ring.
  cabwriter::QuantumItemEncoder small(10);
  std::vector<uint8_t> data = samples::randomSample(1024, 7);
  for (uint8_t byte : data) small.literal(byte);
  small.match(259, 1024);
  std::vector<uint8_t> block = small.finishBlock();
  QuantumFolderDecoder decoder(10);
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(block, 1024 + 259, &produced), DECODER_OK);
  std::vector<uint8_t> expected = data;
  expected.insert(expected.end(), data.begin(), data.begin() + 259);
  EXPECT_EQ(produced, expected);
}

}  // namespace
}  // namespace ks::testing
