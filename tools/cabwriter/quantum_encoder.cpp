// Our Quantum compressor (the decoder is cabinet/quantum.cpp).
//
// Each block is parsed greedily with one step of lazy evaluation: at every
// position the longest match in the window is taken unless the next
// position starts a longer one. A match must be codable: length 3 only with
// a position slot of the length-3 model (distance up to min(window, 4096)),
// length 4 with one of the length-4 model, lengths 5 to 259 at any distance
// in the window; and no match runs past the block's end, because the decoder
// fails a block whose match is longer than the bytes it still has to
// produce. Short matches far back cost more than the literals they replace,
// so they are only taken close by.

#include "tools/cabwriter/quantum_encoder.h"

#include <algorithm>

#include "tools/cabwriter/quantum_item_encoder.h"
#include "tools/cabwriter/quantum_match_finder.h"

namespace ks::cabwriter {
namespace {

constexpr int kMinWindowBits = 10;
constexpr int kMaxWindowBits = 21;
constexpr uint32_t kMaxMatchLength = 259;
constexpr uint32_t kLazyLimit = 32;
// Beyond these distances a match of 3 or 4 bytes is not worth its position
// bits.
constexpr uint32_t kWorthwhileLength3Distance = 1024;
constexpr uint32_t kWorthwhileLength4Distance = 65536;

}  // namespace

struct QuantumEncoder::State {
  explicit State(unsigned windowBits) : items(windowBits), matches(windowBits) {}

  // The longest match at `position` that can be coded and is worth it.
  QuantumMatch bestAt(uint32_t position, uint32_t blockEnd) {
    const uint32_t maxLength = std::min(kMaxMatchLength, blockEnd - position);
    QuantumMatch match = matches.longestMatch(position, maxLength, items.maxDistanceLong());
    const uint32_t farthest3 = std::min(items.maxDistance3(), kWorthwhileLength3Distance);
    const uint32_t farthest4 = std::min(items.maxDistance4(), kWorthwhileLength4Distance);
    if (match.length == 3 && match.distance > farthest3) return QuantumMatch{};
    if (match.length == 4 && match.distance > farthest4) return QuantumMatch{};
    return match;
  }

  QuantumItemEncoder items;
  QuantumMatchFinder matches;
};

QuantumEncoder::QuantumEncoder(int windowBits) : windowBits_(windowBits) {
  if (windowBits >= kMinWindowBits && windowBits <= kMaxWindowBits) {
    state_ = std::make_unique<State>(static_cast<unsigned>(windowBits));
  }
}

QuantumEncoder::~QuantumEncoder() = default;

void QuantumEncoder::reset() {
  if (state_ != nullptr) {
    state_->items.reset();
    state_->matches.reset();
  }
}

bool QuantumEncoder::encodeBlock(std::span<const uint8_t> block, std::vector<uint8_t>& compressed) {
  if (state_ == nullptr || block.size() > kMaxBlockSize) return false;
  QuantumItemEncoder& items = state_->items;
  QuantumMatchFinder& matches = state_->matches;
  const uint32_t blockStart = matches.end();
  matches.append(block);
  const uint32_t blockEnd = matches.end();

  auto bestAt = [&](uint32_t position) {
    return position < blockEnd ? state_->bestAt(position, blockEnd) : QuantumMatch{};
  };
  uint32_t position = blockStart;
  QuantumMatch match = bestAt(position);
  while (position < blockEnd) {
    if (match.length == 0) {
      items.literal(matches.byteAt(position));
      match = bestAt(++position);
      continue;
    }
    // One step of lazy evaluation: a longer match at the next position wins
    // (not worth looking for after a long match).
    QuantumMatch next = match.length < kLazyLimit ? bestAt(position + 1) : QuantumMatch{};
    if (next.length > match.length) {
      items.literal(matches.byteAt(position));
      ++position;
      match = next;
      continue;
    }
    items.match(match.length, match.distance);
    position += match.length;
    match = bestAt(position);
  }
  compressed = items.finishBlock();
  return compressed.size() <= kMaxCompressedBlockSize;
}

}  // namespace ks::cabwriter
