// The Quantum decoder's spill window: the window in a spill file
// opened as "*" through the open callback when the alloc callback refuses
// it, with a cache of at least three 4096-byte pages.

#include <gtest/gtest.h>

#include "cabinet/quantum_page_cache.h"
#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/quantum/quantum_test_support.h"
#include "tools/cabwriter/quantum_item_encoder.h"

namespace ks::testing {
namespace {

constexpr uint32_t kPageAllocation = sizeof(cabinet::QuantumMemoryPage);

class QuantumSpill : public ::testing::Test {
 protected:
  void SetUp() override {
    TestAllocator::reset();
    MemorySpillFiles::reset();
  }
  void TearDown() override {
    EXPECT_TRUE(TestAllocator::live.empty()) << "allocations left behind";
    EXPECT_TRUE(MemorySpillFiles::files.empty()) << "spill file left open";
    TestAllocator::reset();
  }
};

// Text with far repeats, so matches reach pages that were written back.
std::vector<uint8_t> farRepeats(size_t size) {
  std::vector<uint8_t> data = samples::textSample(size / 2, 31);
  std::vector<uint8_t> binary = samples::binarySample(size / 2, 32);
  data.insert(data.end(), binary.begin(), binary.end());
  for (size_t i = 0; i + 300 < data.size(); i += 50000) {
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(i / 3),
              data.begin() + static_cast<std::ptrdiff_t>(i / 3 + 300),
              data.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return data;
}

TEST_F(QuantumSpill, SpillFileIsOpenedWithTheSpecialName) {
  QuantumFolderDecoder decoder(16, 65535);
  ASSERT_EQ(decoder.created(), DECODER_OK);
  EXPECT_EQ(MemorySpillFiles::opens, 1);
  EXPECT_EQ(MemorySpillFiles::lastFlags, 0x8102);
  EXPECT_EQ(MemorySpillFiles::lastMode, 0x180);
  EXPECT_EQ(MemorySpillFiles::lastRequestedSize, 65536u);
}

TEST_F(QuantumSpill, TwoMegabyteWindowWithThreePagesMatchesTheInMemoryWindow) {
  std::vector<uint8_t> data = farRepeats(5 << 19);
  auto blocks = quantumCompressFolder(data, 21);
  TestAllocator::limitedSize = kPageAllocation;
  TestAllocator::limitedSizeGrants = 3;
  QuantumFolderDecoder decoder(21, (1u << 21) - 1);
  ASSERT_EQ(decoder.created(), DECODER_OK);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
  EXPECT_GT(MemorySpillFiles::bytesRead, 0u);
  EXPECT_GT(MemorySpillFiles::bytesWritten, 0u);
}

TEST_F(QuantumSpill, SmallestSpilledWindow) {
  std::vector<uint8_t> data = farRepeats(300000);
  auto blocks = quantumCompressFolder(data, 14);
  QuantumFolderDecoder decoder(14, (1u << 14) - 1);
  ASSERT_EQ(decoder.created(), DECODER_OK);
  EXPECT_EQ(MemorySpillFiles::opens, 1);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
}

TEST_F(QuantumSpill, ResetStartsTheFolderAgain) {
  std::vector<uint8_t> data = farRepeats(200000);
  auto blocks = quantumCompressFolder(data, 16);
  QuantumFolderDecoder decoder(16, 65535);
  ASSERT_EQ(decoder.created(), DECODER_OK);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
  ASSERT_EQ(quantumReset(decoder.handle()), DECODER_OK);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
}

TEST_F(QuantumSpill, RefusedSpillFileIsOutOfMemory) {
  MemorySpillFiles::serveSpillFiles = false;
  QuantumFolderDecoder decoder(16, 65535);
  EXPECT_EQ(decoder.created(), DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(decoder.handle(), nullptr);
  EXPECT_EQ(MemorySpillFiles::opens, 1);
}

TEST_F(QuantumSpill, MissingOpenCallbackIsOutOfMemory) {
  TestAllocator::refuseSizesAbove = 65535;
  uint32_t maximum = 32768;
  uint32_t inputSize = 0;
  QuantumDecoder* handle = nullptr;
  QuantumConfiguration configuration{16, 1};
  EXPECT_EQ(quantumCreate(&maximum, &configuration, TestAllocator::alloc, TestAllocator::free,
                          &inputSize, &handle, nullptr, nullptr, nullptr, nullptr, nullptr),
            DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(handle, nullptr);
}

TEST_F(QuantumSpill, RefusedPageTableClosesTheSpillFile) {
  // Allocations: the handle, the window (refused), the page table.
  TestAllocator::refuseAllocation = 3;
  QuantumFolderDecoder decoder(16, 65535);
  EXPECT_EQ(decoder.created(), DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(MemorySpillFiles::closes, 1);
}

TEST_F(QuantumSpill, FewerThanThreePagesIsOutOfMemory) {
  TestAllocator::limitedSize = kPageAllocation;
  TestAllocator::limitedSizeGrants = 2;
  QuantumFolderDecoder decoder(16, 65535);
  EXPECT_EQ(decoder.created(), DECODER_OUT_OF_MEMORY);
  EXPECT_EQ(MemorySpillFiles::closes, 1);
}

TEST_F(QuantumSpill, DestroyClosesTheSpillFile) {
  {
    QuantumFolderDecoder decoder(16, 65535);
    ASSERT_EQ(decoder.created(), DECODER_OK);
    EXPECT_EQ(MemorySpillFiles::closes, 0);
  }
  EXPECT_EQ(MemorySpillFiles::closes, 1);
}

TEST_F(QuantumSpill, FailedWriteFailsTheBlockAndLaterBlocksUntilAReset) {
  std::vector<uint8_t> data = farRepeats(300000);
  auto blocks = quantumCompressFolder(data, 16);
  TestAllocator::limitedSize = kPageAllocation;
  TestAllocator::limitedSizeGrants = 3;
  QuantumFolderDecoder decoder(16, 65535);
  ASSERT_EQ(decoder.created(), DECODER_OK);
  MemorySpillFiles::failWriteAfter = 2;
  size_t failedAt = blocks.size();
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (decoder.decode(blocks[i].compressed, blocks[i].size) == DECODER_FAILED) {
      failedAt = i;
      break;
    }
  }
  ASSERT_LT(failedAt, blocks.size());
  // Later blocks fail too, even with the file working again ...
  MemorySpillFiles::failWriteAfter = -1;
  if (failedAt + 1 < blocks.size()) {
    EXPECT_EQ(decoder.decode(blocks[failedAt + 1].compressed, blocks[failedAt + 1].size),
              DECODER_FAILED);
  }
  // ... until a reset: then the folder decodes from its start.
  ASSERT_EQ(quantumReset(decoder.handle()), DECODER_OK);
  EXPECT_EQ(decoder.decodeFolder(blocks), data);
}

TEST_F(QuantumSpill, FailedSeekOrReadFailsTheBlock) {
  std::vector<uint8_t> data = farRepeats(400000);
  auto blocks = quantumCompressFolder(data, 16);
  for (int which = 0; which < 2; ++which) {
    MemorySpillFiles::reset();
    TestAllocator::limitedSize = kPageAllocation;
    TestAllocator::limitedSizeGrants = 3;
    QuantumFolderDecoder decoder(16, 65535);
    ASSERT_EQ(decoder.created(), DECODER_OK);
    (which == 0 ? MemorySpillFiles::failSeekAfter : MemorySpillFiles::failReadAfter) = 3;
    bool failed = false;
    for (const auto& block : blocks) {
      if (decoder.decode(block.compressed, block.size) == DECODER_FAILED) {
        failed = true;
        break;
      }
    }
    EXPECT_TRUE(failed) << which;
  }
}

TEST_F(QuantumSpill, MatchIntoANeverWrittenPageFails) {
  // After a reset, a match far back reaches window pages never written:
  // in spill mode the fetch fails.
  cabwriter::QuantumItemEncoder items(16);
  items.literal('a');
  items.match(100, 30000);
  std::vector<uint8_t> block = items.finishBlock();
  QuantumFolderDecoder decoder(16, 65535);
  ASSERT_EQ(decoder.created(), DECODER_OK);
  EXPECT_EQ(decoder.decode(block, 101), DECODER_FAILED);
}

}  // namespace
}  // namespace ks::testing
