#pragma once
// Codes Quantum items (literals and matches) exactly as the decoder of Part
// 4.3 reads them: the selector, literal, length and position models (kept
// across blocks until reset, like the decoder's) and one arithmetic coder per
// block. The match finding is the caller's (QuantumEncoder); tests use this
// class directly to write the streams they need.

#include <cstdint>
#include <vector>

#include "cabinet/quantum_model.h"
#include "tools/cabwriter/quantum_arithmetic_encoder.h"

namespace ks::cabwriter {

class QuantumItemEncoder {
 public:
  // windowBits: 10 to 21.
  explicit QuantumItemEncoder(unsigned windowBits);

  // Fresh models (a new folder).
  void reset();

  // The farthest distance each kind of match can code: length 3, length 4,
  // lengths 5 to 259 (the window size).
  uint32_t maxDistance3() const { return maxDistance3_; }
  uint32_t maxDistance4() const { return maxDistance4_; }
  uint32_t maxDistanceLong() const { return maxDistanceLong_; }

  void literal(uint8_t byte);
  // length 3 to 259; distance 1 to the maximum of its kind.
  void match(uint32_t length, uint32_t distance);

  // Ends the block: its bytes; the coder starts afresh for the next block.
  std::vector<uint8_t> finishBlock(uint32_t* bitCount = nullptr);

 private:
  unsigned windowBits_;
  cabinet::QuantumModels models_;
  QuantumArithmeticEncoder coder_;
  uint32_t maxDistance3_ = 0;
  uint32_t maxDistance4_ = 0;
  uint32_t maxDistanceLong_ = 0;
};

}  // namespace ks::cabwriter
