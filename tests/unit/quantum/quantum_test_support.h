#pragma once
// Support for the Quantum tests: folders compressed with our encoder, a
// decoder fixture that decodes them block by block as the cabinet reader
// does, and file callbacks that serve the spill file "*" from memory (with
// failures on demand).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <span>
#include <vector>

#include "cabinet/quantum.h"
#include "tests/unit/mszip/test_allocator.h"
#include "tools/cabwriter/quantum_encoder.h"

namespace ks::testing {

struct QuantumBlock {
  std::vector<uint8_t> compressed;
  uint32_t size;  // uncompressed
};

// Compresses a folder's data into blocks of up to 32768 bytes.
inline std::vector<QuantumBlock> quantumCompressFolder(std::span<const uint8_t> data,
                                                       int windowBits, uint32_t blockSize = 32768) {
  cabwriter::QuantumEncoder encoder(windowBits);
  std::vector<QuantumBlock> blocks;
  size_t offset = 0;
  do {
    const size_t size = std::min<size_t>(blockSize, data.size() - offset);
    QuantumBlock block{{}, static_cast<uint32_t>(size)};
    EXPECT_TRUE(encoder.encodeBlock(data.subspan(offset, size), block.compressed));
    blocks.push_back(std::move(block));
    offset += size;
  } while (offset < data.size());
  return blocks;
}

// A spill file in memory behind the CabinetOpen ... CabinetSeek callbacks.
struct MemorySpillFiles {
  static inline bool serveSpillFiles = true;
  static inline int opens = 0;
  static inline int closes = 0;
  static inline int32_t lastFlags = 0;
  static inline int32_t lastMode = 0;
  static inline uint32_t lastRequestedSize = 0;
  static inline uint64_t bytesWritten = 0;
  static inline uint64_t bytesRead = 0;
  // Operation counts after which a seek, read or write fails (-1: never).
  static inline int failSeekAfter = -1;
  static inline int failReadAfter = -1;
  static inline int failWriteAfter = -1;
  static inline std::map<int32_t, std::vector<uint8_t>> files;
  static inline std::map<int32_t, uint32_t> positions;
  static inline int32_t nextHandle = 100;

  static void reset() {
    serveSpillFiles = true;
    opens = closes = 0;
    lastFlags = lastMode = 0;
    lastRequestedSize = 0;
    bytesWritten = bytesRead = 0;
    failSeekAfter = failReadAfter = failWriteAfter = -1;
    files.clear();
    positions.clear();
  }
  static bool countDown(int& counter) {
    if (counter < 0) return false;
    if (counter == 0) return true;
    --counter;
    return false;
  }

  static int32_t open(const char* name, int32_t flags, int32_t mode) {
    ++opens;
    lastFlags = flags;
    lastMode = mode;
    if (!serveSpillFiles || name[0] != '*' || name[1] != '\0') return -1;
    std::memcpy(&lastRequestedSize, name + 2, 4);  // little-endian host
    const int32_t handle = nextHandle++;
    files[handle] = {};
    positions[handle] = 0;
    return handle;
  }
  static uint32_t read(int32_t handle, void* buffer, uint32_t count) {
    if (countDown(failReadAfter)) return 0;
    auto& file = files.at(handle);
    uint32_t& position = positions.at(handle);
    const uint32_t available =
        position < file.size() ? static_cast<uint32_t>(file.size()) - position : 0;
    const uint32_t n = std::min(count, available);
    std::memcpy(buffer, file.data() + position, n);
    position += n;
    bytesRead += n;
    return n;
  }
  static uint32_t write(int32_t handle, const void* buffer, uint32_t count) {
    if (countDown(failWriteAfter)) return 0;
    auto& file = files.at(handle);
    uint32_t& position = positions.at(handle);
    if (file.size() < position + count) file.resize(position + count);
    std::memcpy(file.data() + position, buffer, count);
    position += count;
    bytesWritten += count;
    return count;
  }
  static int32_t close(int32_t handle) {
    ++closes;
    files.erase(handle);
    positions.erase(handle);
    return 0;
  }
  static int32_t seek(int32_t handle, int32_t offset, int32_t origin) {
    if (countDown(failSeekAfter)) return -1;
    uint32_t& position = positions.at(handle);
    position =
        static_cast<uint32_t>(origin == 0 ? offset : static_cast<int32_t>(position) + offset);
    return static_cast<int32_t>(position);
  }
};

// One decoder, one 32768-byte output buffer, blocks decoded in order.
class QuantumFolderDecoder {
 public:
  // maxMemoryAllocation: allocations above it are refused (forces the spill
  // file for large windows).
  explicit QuantumFolderDecoder(int windowBits, uint32_t maxMemoryAllocation = UINT32_MAX)
      : output_(32768) {
    TestAllocator::refuseSizesAbove = maxMemoryAllocation;
    uint32_t maximum = 32768;
    uint32_t inputSize = 0;
    QuantumConfiguration configuration{windowBits, 1};
    created_ =
        quantumCreate(&maximum, &configuration, TestAllocator::alloc, TestAllocator::free,
                      &inputSize, &handle_, MemorySpillFiles::open, MemorySpillFiles::read,
                      MemorySpillFiles::write, MemorySpillFiles::close, MemorySpillFiles::seek);
  }
  ~QuantumFolderDecoder() {
    if (handle_ != nullptr) quantumDestroy(handle_);
  }
  QuantumFolderDecoder(const QuantumFolderDecoder&) = delete;
  QuantumFolderDecoder& operator=(const QuantumFolderDecoder&) = delete;

  DecoderResult created() const { return created_; }
  QuantumDecoder* handle() const { return handle_; }

  DecoderResult decode(const std::vector<uint8_t>& compressed, uint32_t size,
                       std::vector<uint8_t>* produced = nullptr) {
    uint32_t outputSize = size;
    DecoderResult result =
        quantumDecompress(handle_, compressed.data(), static_cast<uint32_t>(compressed.size()),
                          output_.data(), &outputSize);
    EXPECT_EQ(outputSize, size);  // left unchanged
    if (produced != nullptr)
      produced->assign(output_.begin(), output_.begin() + std::min<uint32_t>(size, 32768));
    return result;
  }

  std::vector<uint8_t> decodeFolder(const std::vector<QuantumBlock>& blocks) {
    std::vector<uint8_t> all;
    for (const QuantumBlock& block : blocks) {
      std::vector<uint8_t> produced;
      EXPECT_EQ(decode(block.compressed, block.size, &produced), DECODER_OK);
      all.insert(all.end(), produced.begin(), produced.end());
    }
    return all;
  }

 private:
  QuantumDecoder* handle_ = nullptr;
  DecoderResult created_;
  std::vector<uint8_t> output_;
};

}  // namespace ks::testing
