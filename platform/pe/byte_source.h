#pragma once
// Where the PE reader takes its bytes from: a file read at offsets, or bytes
// already in memory. The reader asks only for the ranges it needs, so a large
// file is never read whole.

#include <cstdint>
#include <span>

namespace ks::pe {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Fills out with the bytes at offset; false when the range isn't all there.
  virtual bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

// Bytes in memory, not owned.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace ks::pe
