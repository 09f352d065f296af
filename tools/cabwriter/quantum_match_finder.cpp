// Hash-chain match finding for the Quantum encoder.

#include "tools/cabwriter/quantum_match_finder.h"

#include <algorithm>

namespace ks::cabwriter {

QuantumMatchFinder::QuantumMatchFinder(unsigned windowBits)
    : windowSize_(uint32_t{1} << windowBits),
      hashBits_(std::clamp(windowBits + 1, 12u, 20u)),
      head_(size_t{1} << hashBits_, 0),
      previous_(windowSize_, 0) {}

void QuantumMatchFinder::reset() {
  base_ = 0;
  inserted_ = 0;
  buffer_.clear();
  std::fill(head_.begin(), head_.end(), 0);
  std::fill(previous_.begin(), previous_.end(), 0);
}

void QuantumMatchFinder::append(std::span<const uint8_t> block) {
  // Keep the window's worth of history; slide the buffer now and then.
  const size_t slack = 8 * 32768;
  if (buffer_.size() + block.size() > windowSize_ + slack && buffer_.size() > windowSize_) {
    const size_t drop = buffer_.size() - windowSize_;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(drop));
    base_ += static_cast<uint32_t>(drop);
    // Positions that fell out of the buffer are beyond the window anyway.
    inserted_ = std::max(inserted_, base_);
  }
  buffer_.insert(buffer_.end(), block.begin(), block.end());
}

uint32_t QuantumMatchFinder::hashAt(uint32_t position) const {
  const uint8_t* p = &buffer_[position - base_];
  const uint32_t key = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  return (key * 2654435761u) >> (32 - hashBits_);
}

void QuantumMatchFinder::insertUpTo(uint32_t position) {
  // A position needs its next two bytes to be hashed.
  const uint32_t limit = std::min(position, end() >= 2 ? end() - 2 : 0);
  for (; inserted_ < limit; ++inserted_) {
    uint32_t& head = head_[hashAt(inserted_)];
    previous_[inserted_ & (windowSize_ - 1)] = head;
    head = inserted_ + 1;
  }
}

QuantumMatch QuantumMatchFinder::longestMatch(uint32_t position, uint32_t maxLength,
                                              uint32_t maxDistance) {
  insertUpTo(position);
  QuantumMatch best;
  if (maxLength < 3 || position + 2 >= end()) return best;
  const uint8_t* current = &buffer_[position - base_];
  uint32_t candidate = head_[hashAt(position)];
  for (unsigned steps = 0; candidate != 0 && steps < kMaxChainSteps; ++steps) {
    const uint32_t earlier = candidate - 1;
    const uint32_t distance = position - earlier;
    if (distance > maxDistance || distance > windowSize_ || earlier < base_) break;
    const uint8_t* other = &buffer_[earlier - base_];
    if (other[best.length] == current[best.length] || best.length == 0) {
      uint32_t length = 0;
      while (length < maxLength && other[length] == current[length]) ++length;
      if (length > best.length) {
        best = QuantumMatch{length, distance};
        if (length >= std::min(maxLength, kNiceLength)) break;
      }
    }
    const uint32_t next = previous_[earlier & (windowSize_ - 1)];
    if (next == 0 || next - 1 >= earlier) break;  // the slot was reused
    candidate = next;
  }
  if (best.length < 3) best = QuantumMatch{};
  return best;
}

}  // namespace ks::cabwriter
