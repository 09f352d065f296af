// Round trips through our Quantum encoder and the decoder: many
// data shapes, window sizes 10, 15, 16 and 21 bits, the window in memory and
// in the spill file.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/quantum/quantum_test_support.h"

namespace ks::testing {
namespace {

using samples::sampleOf;
using samples::Shape;
enum class WindowPlace { kMemory, kSpill };

// Spill mode: allocations of the window's size are refused (pages of 4 KB
// and the page table are still granted).
uint32_t memoryLimitFor(WindowPlace place, int windowBits) {
  return place == WindowPlace::kSpill ? (uint32_t{1} << windowBits) - 1 : UINT32_MAX;
}

class QuantumRoundTrip : public ::testing::TestWithParam<std::tuple<Shape, int, WindowPlace>> {
 protected:
  void SetUp() override {
    TestAllocator::reset();
    MemorySpillFiles::reset();
  }
  void TearDown() override {
    TestAllocator::reset();
    MemorySpillFiles::reset();
  }
};

TEST_P(QuantumRoundTrip, FolderDecodesToTheOriginal) {
  auto [shape, windowBits, place] = GetParam();
  // Six full blocks and a partial one.
  std::vector<uint8_t> data = sampleOf(shape, 6 * 32768 + 777);
  auto blocks = quantumCompressFolder(data, windowBits);
  ASSERT_EQ(blocks.size(), 7u);
  QuantumFolderDecoder decoder(windowBits, memoryLimitFor(place, windowBits));
  ASSERT_EQ(decoder.created(), DECODER_OK);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
  if (place == WindowPlace::kSpill) {
    EXPECT_EQ(MemorySpillFiles::opens, 1);
  } else {
    EXPECT_EQ(MemorySpillFiles::opens, 0);
  }
}

std::string roundTripName(
    const ::testing::TestParamInfo<std::tuple<Shape, int, WindowPlace>>& info) {
  static const char* const kShapes[] = {"Text",  "Binary",   "Random",    "Runs",
                                        "Zeros", "Repeated", "Executable"};
  return std::string(kShapes[static_cast<int>(std::get<0>(info.param))]) + "Window" +
         std::to_string(std::get<1>(info.param)) +
         (std::get<2>(info.param) == WindowPlace::kSpill ? "Spill" : "Memory");
}

INSTANTIATE_TEST_SUITE_P(
    InMemory, QuantumRoundTrip,
    ::testing::Combine(::testing::Values(Shape::kText, Shape::kBinary, Shape::kRandom, Shape::kRuns,
                                         Shape::kZeros, Shape::kRepeatedBlock, Shape::kExecutable),
                       ::testing::Values(10, 15, 16, 21), ::testing::Values(WindowPlace::kMemory)),
    roundTripName);

INSTANTIATE_TEST_SUITE_P(Spilled, QuantumRoundTrip,
                         ::testing::Combine(::testing::Values(Shape::kText, Shape::kBinary,
                                                              Shape::kRandom, Shape::kRuns,
                                                              Shape::kRepeatedBlock),
                                            ::testing::Values(15, 16, 21),
                                            ::testing::Values(WindowPlace::kSpill)),
                         roundTripName);

class QuantumRoundTripSizes : public ::testing::Test {
 protected:
  void SetUp() override {
    TestAllocator::reset();
    MemorySpillFiles::reset();
  }
  void TearDown() override { TestAllocator::reset(); }
};

TEST_F(QuantumRoundTripSizes, EmptyFolderIsOneEmptyBlockOfTwoBytes) {
  auto blocks = quantumCompressFolder({}, 16);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].size, 0u);
  EXPECT_EQ(blocks[0].compressed.size(), 2u);  // the 16 bits the decoder primes
  QuantumFolderDecoder decoder(16);
  EXPECT_TRUE(decoder.decodeFolder(blocks).empty());
}

TEST_F(QuantumRoundTripSizes, TinyContents) {
  for (size_t size = 1; size <= 40; ++size) {
    for (int windowBits : {10, 21}) {
      std::vector<uint8_t> data = samples::textSample(size, size);
      auto blocks = quantumCompressFolder(data, windowBits);
      QuantumFolderDecoder decoder(windowBits);
      EXPECT_EQ(decoder.decodeFolder(blocks), data) << size << " " << windowBits;
    }
  }
}

TEST_F(QuantumRoundTripSizes, EveryByteValue) {
  std::vector<uint8_t> data;
  for (int round = 0; round < 50; ++round) {
    for (int b = 0; b < 256; ++b) data.push_back(static_cast<uint8_t>(b * (round + 1)));
  }
  auto blocks = quantumCompressFolder(data, 12);
  QuantumFolderDecoder decoder(12);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
}

TEST_F(QuantumRoundTripSizes, ExactlyOneBlock) {
  std::vector<uint8_t> data = samples::binarySample(32768);
  auto blocks = quantumCompressFolder(data, 15);
  ASSERT_EQ(blocks.size(), 1u);
  QuantumFolderDecoder decoder(15);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
}

TEST_F(QuantumRoundTripSizes, SmallBlocks) {
  // Blocks need not be 32768 bytes: every block restarts the arithmetic
  // coder, the window and models carry on.
  std::vector<uint8_t> data = samples::textSample(50000);
  for (uint32_t blockSize : {1u, 7u, 1000u, 4096u}) {
    auto blocks =
        quantumCompressFolder(std::span(data).first(blockSize == 1 ? 3000 : 50000), 14, blockSize);
    QuantumFolderDecoder decoder(14);
    std::vector<uint8_t> expected(data.begin(), data.begin() + (blockSize == 1 ? 3000 : 50000));
    EXPECT_EQ(decoder.decodeFolder(blocks), expected) << blockSize;
  }
}

TEST_F(QuantumRoundTripSizes, IncompressibleBlocksFitTheInputBuffer) {
  std::vector<uint8_t> data = samples::randomSample(4 * 32768, 21);
  auto blocks = quantumCompressFolder(data, 21);
  for (const auto& block : blocks) EXPECT_LE(block.compressed.size(), 43008u);
}

TEST_F(QuantumRoundTripSizes, TextCompresses) {
  std::vector<uint8_t> data = samples::textSample(8 * 32768);
  size_t total = 0;
  for (const auto& block : quantumCompressFolder(data, 21)) total += block.compressed.size();
  EXPECT_LT(total, data.size() / 3);
}

TEST_F(QuantumRoundTripSizes, MultiMegabyteFolderInMemoryAndSpilled) {
  std::vector<uint8_t> data = samples::textSample(2 << 20, 5);
  // Far repeats: the second half-megabyte again at the end.
  data.insert(data.end(), data.begin() + (1 << 19), data.begin() + (1 << 20));
  auto blocks = quantumCompressFolder(data, 21);
  {
    QuantumFolderDecoder decoder(21);
    EXPECT_EQ(decoder.decodeFolder(blocks), data);
  }
  {
    QuantumFolderDecoder decoder(21, (1u << 21) - 1);
    ASSERT_EQ(decoder.created(), DECODER_OK);
    EXPECT_EQ(decoder.decodeFolder(blocks), data);
    EXPECT_EQ(MemorySpillFiles::opens, 1);
  }
}

TEST_F(QuantumRoundTripSizes, EncoderResetStartsANewFolder) {
  std::vector<uint8_t> first = samples::textSample(40000, 1);
  std::vector<uint8_t> second = samples::textSample(40000, 2);
  cabwriter::QuantumEncoder encoder(16);
  QuantumFolderDecoder decoder(16);
  for (const auto* data : {&first, &second}) {
    std::vector<uint8_t> decoded;
    for (size_t offset = 0; offset < data->size(); offset += 32768) {
      size_t size = std::min<size_t>(32768, data->size() - offset);
      std::vector<uint8_t> compressed;
      ASSERT_TRUE(encoder.encodeBlock(std::span(*data).subspan(offset, size), compressed));
      std::vector<uint8_t> produced;
      ASSERT_EQ(decoder.decode(compressed, static_cast<uint32_t>(size), &produced), DECODER_OK);
      decoded.insert(decoded.end(), produced.begin(), produced.end());
    }
    EXPECT_EQ(decoded, *data);
    encoder.reset();
    ASSERT_EQ(quantumReset(decoder.handle()), DECODER_OK);
  }
}

TEST_F(QuantumRoundTripSizes, EncoderRefusesBadWindowSizesAndOversizedBlocks) {
  std::vector<uint8_t> compressed;
  std::vector<uint8_t> data(100, 1);
  EXPECT_FALSE(cabwriter::QuantumEncoder(9).encodeBlock(data, compressed));
  EXPECT_FALSE(cabwriter::QuantumEncoder(22).encodeBlock(data, compressed));
  std::vector<uint8_t> big(32769, 1);
  EXPECT_FALSE(cabwriter::QuantumEncoder(16).encodeBlock(big, compressed));
}

}  // namespace
}  // namespace ks::testing
