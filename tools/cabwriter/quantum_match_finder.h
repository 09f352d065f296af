#pragma once
// Finds LZ77 matches for the Quantum encoder: hash chains over 3-byte
// prefixes within the window, over a sliding buffer that keeps the window's
// worth of history before the block being encoded.

#include <cstdint>
#include <span>
#include <vector>

namespace ks::cabwriter {

struct QuantumMatch {
  uint32_t length = 0;  // 0: none
  uint32_t distance = 0;
};

class QuantumMatchFinder {
 public:
  explicit QuantumMatchFinder(unsigned windowBits);

  // Forgets all history (a new folder).
  void reset();

  // Appends the next block; positions are folder offsets from then on.
  void append(std::span<const uint8_t> block);

  // Folder offset of the end of the data appended so far.
  uint32_t end() const { return base_ + static_cast<uint32_t>(buffer_.size()); }
  uint8_t byteAt(uint32_t position) const { return buffer_[position - base_]; }

  // The longest match for `position` (at most maxLength bytes, at most
  // maxDistance back), the nearest one among equals. Inserts every position
  // before `position` into the chains first.
  QuantumMatch longestMatch(uint32_t position, uint32_t maxLength, uint32_t maxDistance);

 private:
  // Candidates tried per position: chains over a window of megabytes leave
  // the cache at every step, so they are kept short.
  static constexpr unsigned kMaxChainSteps = 48;
  // A match this long ends the search: longer ones gain little.
  static constexpr uint32_t kNiceLength = 64;

  uint32_t hashAt(uint32_t position) const;
  void insertUpTo(uint32_t position);

  uint32_t windowSize_;
  unsigned hashBits_;               // about half a chain entry per hash value in the window
  uint32_t base_ = 0;               // folder offset of buffer_[0]
  uint32_t inserted_ = 0;           // positions below this are in the chains
  std::vector<uint8_t> buffer_;     // the window's history, then the new data
  std::vector<uint32_t> head_;      // per hash: latest position + 1, 0 = none
  std::vector<uint32_t> previous_;  // per position mod window: earlier position + 1
};

}  // namespace ks::cabwriter
