#pragma once
// Message digests the system computes: SHA-256, fed in pieces of any size,
// so a file of any length is hashed in constant memory.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace ks {

using Sha256Digest = std::array<std::uint8_t, 32>;

// One SHA-256 computation.
class Sha256 {
 public:
  virtual ~Sha256() = default;
  virtual void update(const void* data, std::size_t size) = 0;
  // The digest of everything fed; nothing may be fed afterwards. False when
  // the system's hashing failed on the way.
  virtual bool finish(Sha256Digest& digest) = 0;
};

class Hashing {
 public:
  virtual ~Hashing() = default;
  // A new computation; null when the system has none to offer.
  virtual std::unique_ptr<Sha256> newSha256() = 0;
};

}  // namespace ks
