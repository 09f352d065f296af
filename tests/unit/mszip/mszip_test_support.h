#pragma once
// Decodes MSZIP blocks the way the cabinet reader does: one decoder, one
// 32768-byte output buffer reused for every block of a folder.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "cabinet/mszip.h"
#include "tests/unit/mszip/test_allocator.h"

namespace ks::testing {

class MszipFolderDecoder {
 public:
  explicit MszipFolderDecoder(uint32_t maximumBlockSize = 32768) : window_(32768, 0) {
    uint32_t inputBufferSize = 0;
    created_ = mszipCreate(&maximumBlockSize, TestAllocator::alloc, TestAllocator::free,
                           &inputBufferSize, &handle_);
  }
  ~MszipFolderDecoder() {
    if (handle_ != nullptr) mszipDestroy(handle_);
  }
  MszipFolderDecoder(const MszipFolderDecoder&) = delete;
  MszipFolderDecoder& operator=(const MszipFolderDecoder&) = delete;

  DecoderResult created() const { return created_; }
  MszipDecoder* handle() const { return handle_; }
  std::vector<uint8_t>& window() { return window_; }

  // Decodes one block; on success `produced` holds its bytes.
  DecoderResult decode(const std::vector<uint8_t>& block, std::vector<uint8_t>* produced,
                       uint32_t allowed = 32768) {
    uint32_t size = allowed;
    DecoderResult result = mszipDecompress(
        handle_, block.data(), static_cast<uint32_t>(block.size()), window_.data(), &size);
    if (result == DECODER_OK && produced != nullptr) {
      produced->assign(window_.begin(), window_.begin() + size);
    }
    return result;
  }

  // Decodes all blocks of a folder and returns the concatenated output.
  std::vector<uint8_t> decodeFolder(const std::vector<std::vector<uint8_t>>& blocks) {
    std::vector<uint8_t> all;
    for (const auto& block : blocks) {
      std::vector<uint8_t> produced;
      EXPECT_EQ(decode(block, &produced), DECODER_OK);
      all.insert(all.end(), produced.begin(), produced.end());
    }
    return all;
  }

 private:
  MszipDecoder* handle_ = nullptr;
  DecoderResult created_;
  std::vector<uint8_t> window_;
};

}  // namespace ks::testing
