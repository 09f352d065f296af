// The MSZIP decoder's interface: creation and its query form,
// allocation failures, handle checks, reset, destruction, the input limit.

#include <gtest/gtest.h>

#include "cabinet/mszip.h"
#include "tests/unit/mszip/deflate_writer.h"
#include "tests/unit/mszip/mszip_test_support.h"
#include "tests/unit/mszip/test_allocator.h"

namespace ks::testing {
namespace {

class MszipDecoderInterface : public ::testing::Test {
 protected:
  void SetUp() override { TestAllocator::reset(); }
  void TearDown() override {
    EXPECT_TRUE(TestAllocator::live.empty()) << "allocations left behind";
    TestAllocator::reset();
  }
};

std::vector<uint8_t> storedBlockOf(const std::vector<uint8_t>& data) {
  DeflateWriter out;
  out.storedBlock(true, data);
  return out.bytes();
}

TEST_F(MszipDecoderInterface, QueryGivesInputBufferSizeAndAllocatesNothing) {
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  EXPECT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, nullptr),
            DECODER_OK);
  EXPECT_EQ(maximum, 32768u);
  EXPECT_EQ(inputSize, 32780u);
  EXPECT_EQ(TestAllocator::allocations, 0);
}

TEST_F(MszipDecoderInterface, MaximumBlockSizeZeroOrTooLargeBecomes32768) {
  for (uint32_t asked : {0u, 32769u, 100000u}) {
    uint32_t maximum = asked;
    uint32_t inputSize = 0;
    EXPECT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, nullptr),
              DECODER_OK);
    EXPECT_EQ(maximum, 32768u) << asked;
    EXPECT_EQ(inputSize, 32780u) << asked;
  }
  uint32_t maximum = 1000;
  uint32_t inputSize = 0;
  EXPECT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, nullptr),
            DECODER_OK);
  EXPECT_EQ(maximum, 1000u);
  EXPECT_EQ(inputSize, 1012u);
}

TEST_F(MszipDecoderInterface, CreateAndDestroyBalanceTheirAllocations) {
  MszipDecoder* handle = nullptr;
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  ASSERT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, &handle),
            DECODER_OK);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(TestAllocator::live.size(), 2u);  // the handle and the state
  EXPECT_EQ(mszipDestroy(handle), DECODER_OK);
  EXPECT_TRUE(TestAllocator::live.empty());
}

TEST_F(MszipDecoderInterface, RefusedHandleAllocationIsOutOfMemory) {
  TestAllocator::refuseAllocation = 1;
  MszipDecoder* handle = reinterpret_cast<MszipDecoder*>(this);
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  EXPECT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, &handle),
            DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(handle, nullptr);
}

TEST_F(MszipDecoderInterface, RefusedStateAllocationFreesTheHandle) {
  TestAllocator::refuseAllocation = 2;
  MszipDecoder* handle = nullptr;
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  EXPECT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, &handle),
            DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(handle, nullptr);
  EXPECT_TRUE(TestAllocator::live.empty());
}

TEST_F(MszipDecoderInterface, NullHandleIsRefusedEverywhere) {
  uint8_t output[16];
  uint32_t size = sizeof output;
  const uint8_t input[] = {'C', 'K', 0x03, 0x00};
  EXPECT_EQ(mszipDecompress(nullptr, input, sizeof input, output, &size), DECODER_BAD_HANDLE);
  EXPECT_EQ(mszipReset(nullptr), DECODER_BAD_HANDLE);
  EXPECT_EQ(mszipDestroy(nullptr), DECODER_BAD_HANDLE);
}

TEST_F(MszipDecoderInterface, DestroyedHandleIsRefused) {
  MszipDecoder* handle = nullptr;
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  ASSERT_EQ(mszipCreate(&maximum, TestAllocator::alloc, TestAllocator::free, &inputSize, &handle),
            DECODER_OK);
  ASSERT_EQ(mszipDestroy(handle), DECODER_OK);
  // The test allocator keeps the freed memory, so the cleared tag is visible.
  std::vector<uint8_t> output(32768);
  uint32_t size = 32768;
  auto block = storedBlockOf({1, 2, 3});
  EXPECT_EQ(mszipDecompress(handle, block.data(), static_cast<uint32_t>(block.size()),
                            output.data(), &size),
            DECODER_BAD_HANDLE);
  EXPECT_EQ(mszipReset(handle), DECODER_BAD_HANDLE);
  EXPECT_EQ(mszipDestroy(handle), DECODER_BAD_HANDLE);
}

TEST_F(MszipDecoderInterface, HandleOfAnotherKindIsRefused) {
  // Memory that does not start with the MSZIP tag (here: zeros, as a foreign
  // or cleared handle would hold).
  alignas(8) uint8_t notAHandle[64] = {};
  auto* handle = reinterpret_cast<MszipDecoder*>(notAHandle);
  EXPECT_EQ(mszipReset(handle), DECODER_BAD_HANDLE);
  EXPECT_EQ(mszipDestroy(handle), DECODER_BAD_HANDLE);
}

TEST_F(MszipDecoderInterface, InputOfMaximumPlusThirteenBytesOverflows) {
  MszipFolderDecoder decoder;
  std::vector<uint8_t> input = storedBlockOf({7, 8, 9});
  input.resize(32768 + 13, 0xAA);
  EXPECT_EQ(decoder.decode(input, nullptr), DECODER_BUFFER_OVERFLOW);
  // Twelve bytes over the maximum block are still accepted (the rest of the
  // input after the final block is ignored).
  input.resize(32768 + 12);
  std::vector<uint8_t> produced;
  EXPECT_EQ(decoder.decode(input, &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{7, 8, 9}));
}

TEST_F(MszipDecoderInterface, InputLimitFollowsASmallerMaximumBlockSize) {
  MszipFolderDecoder decoder(1000);
  std::vector<uint8_t> input = storedBlockOf({1});
  input.resize(1013, 0);
  EXPECT_EQ(decoder.decode(input, nullptr), DECODER_BUFFER_OVERFLOW);
  input.resize(1012);
  EXPECT_EQ(decoder.decode(input, nullptr), DECODER_OK);
}

TEST_F(MszipDecoderInterface, OutputIsLimitedByTheMaximumBlockSize) {
  MszipFolderDecoder decoder(1000);
  std::vector<uint8_t> data(2000, 0x5A);
  DeflateWriter out;
  out.storedBlock(true, data);
  std::vector<uint8_t> input = out.bytes();
  input.resize(1012);  // what fits the input limit; the stored bytes are cut
  std::vector<uint8_t> produced;
  // 1000 bytes are allowed and the first 1000 stored bytes are in the input.
  ASSERT_EQ(decoder.decode(input, &produced, 32768), DECODER_OK);
  EXPECT_EQ(produced.size(), 1000u);
}

TEST_F(MszipDecoderInterface, ResetChangesNothing) {
  MszipFolderDecoder decoder;
  std::vector<uint8_t> produced;
  ASSERT_EQ(decoder.decode(storedBlockOf({1, 2, 3, 4}), &produced), DECODER_OK);
  EXPECT_EQ(mszipReset(decoder.handle()), DECODER_OK);
  ASSERT_EQ(decoder.decode(storedBlockOf({5, 6}), &produced), DECODER_OK);
  EXPECT_EQ(produced, (std::vector<uint8_t>{5, 6}));
}

}  // namespace
}  // namespace ks::testing
