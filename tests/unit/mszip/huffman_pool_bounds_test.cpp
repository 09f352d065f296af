// The worst case of the MSZIP table pools, computed over every code the
// decoder can be sent (the way the well-known table-size checker for DEFLATE
// does it for its own layout), and checked against the table builder.
//
// A complete code is fixed, up to the order of its symbols, by its count of
// codes per length, and so is its table size. In canonical order the code
// tree is filled from the left, shorter codes first: below the root width
// the sub-trees hanging from the root entries are ordered by depth, and the
// builder gives each one a sub-table as wide as the sub-tree is high (at
// most the root width; deeper codes go through a further level). Walking the
// tree one depth at a time, only three numbers matter: the open nodes of the
// leftmost unfinished sub-tree, how many sub-trees right of it are still
// untouched (all their nodes open) and how many symbols are used. That makes
// the worst case a small dynamic program instead of a search over 10^16
// codes.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "cabinet/huffman_table.h"
#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/mszip/deflate_writer.h"

namespace ks::cabinet {
namespace {

constexpr unsigned kMaxLength = 15;

class PoolBound {
 public:
  PoolBound(unsigned symbols, unsigned rootBits) : symbols_(symbols), root_(rootBits) {}

  // The most entries any complete code of at most `symbols` symbols needs,
  // and the code lengths of one such code.
  unsigned worstCase(std::vector<uint8_t>* lengths) {
    int best = -1;
    unsigned bestOpen = 0;
    // `open` root entries lead to sub-tables; the other 2^root - open are
    // covered by codes up to the root width, fewest when each power of two
    // in that number is one code.
    for (unsigned open = 1; open < (1u << root_); ++open) {
      const int below = best_(root_, {0, open, leavesAbove(open)});
      if (below > best) {
        best = below;
        bestOpen = open;
      }
    }
    std::vector<unsigned> counts = countsAbove(bestOpen);
    State state{0, bestOpen, leavesAbove(bestOpen)};
    for (unsigned depth = root_; state.boundary + state.untouched != 0; ++depth) {
      const unsigned leaves = choice_.at(key(depth, state));
      counts[depth + 1] = leaves;
      state = step(depth, state, leaves).next;
    }
    *lengths = testing::lengthsFromCounts(counts);
    return (1u << root_) + static_cast<unsigned>(best);
  }

  // The entries the layout gives the code with these counts per length
  // (whose root width is the requested one).
  unsigned entriesFor(const std::vector<unsigned>& counts) const {
    unsigned open = 1;
    for (unsigned length = 1; length <= root_; ++length) open = 2 * open - counts[length];
    State state{0, open, 0};
    unsigned entries = 1u << root_;
    for (unsigned depth = root_; state.boundary + state.untouched != 0; ++depth) {
      const Step next = step(depth, state, counts[depth + 1]);
      entries += next.entries;
      state = next.next;
    }
    return entries;
  }

 private:
  struct State {
    unsigned boundary;   // open nodes of the leftmost unfinished sub-tree
    unsigned untouched;  // sub-trees right of it, every node open
    unsigned used;       // symbols
  };
  struct Step {
    State next;
    unsigned entries;  // of the sub-tables finished by this step
  };

  unsigned leavesAbove(unsigned open) const {
    return static_cast<unsigned>(std::popcount((1u << root_) - open));
  }
  std::vector<unsigned> countsAbove(unsigned open) const {
    std::vector<unsigned> counts(kMaxLength + 2, 0);
    const unsigned covered = (1u << root_) - open;
    for (unsigned bit = 0; bit < root_; ++bit) {
      if (covered & (1u << bit)) counts[root_ - bit] = 1;
    }
    return counts;
  }

  // Where the sub-trees of the current level hang: the root width, and
  // below a sub-table of full root width the next level (distance codes).
  unsigned levelBase(unsigned depth) const { return depth < 2 * root_ ? root_ : 2 * root_; }

  // Places `leaves` codes of length depth + 1, from the left.
  Step step(unsigned depth, State state, unsigned leaves) const {
    const unsigned base = levelBase(depth);
    const unsigned size = 1u << (depth + 1 - base);  // an untouched sub-tree's nodes
    Step result{state, 0};
    State& next = result.next;
    next.used += leaves;
    if (leaves < 2 * state.boundary) {
      next.boundary = 2 * state.boundary - leaves;
    } else {
      // The boundary sub-tree is finished at this height, then whole
      // untouched ones; the rest starts a new boundary sub-tree.
      const unsigned rest = leaves - 2 * state.boundary;
      const unsigned finished = (state.boundary != 0 ? 1 : 0) + rest / size;
      result.entries = finished * size;
      next.untouched = state.untouched - rest / size;
      next.boundary = 0;
      if (rest % size != 0) {
        next.boundary = size - rest % size;
        --next.untouched;
      }
    }
    if (depth + 1 == base + root_ && next.boundary + next.untouched != 0) {
      // Sub-trees still open here are higher than the root width: their
      // sub-tables are root-wide, and each open node starts a sub-tree of
      // the next level.
      result.entries += ((next.boundary != 0 ? 1 : 0) + next.untouched) << root_;
      next.untouched = next.boundary + next.untouched * size;
      next.boundary = 0;
    }
    return result;
  }

  static uint64_t key(unsigned depth, State state) {
    return uint64_t{depth} << 48 | uint64_t{state.boundary} << 32 |
           uint64_t{state.untouched} << 16 | state.used;
  }

  // The most entries the sub-tables below `depth` can take, or -1 when no
  // complete code fits the symbols left.
  int best_(unsigned depth, State state) {
    if (state.boundary + state.untouched == 0) return 0;
    const unsigned size = 1u << (depth + 1 - levelBase(depth));
    const unsigned positions = 2 * state.boundary + state.untouched * size;
    // Finishing everything at the next length takes the fewest symbols.
    if (depth == kMaxLength || state.used + positions > symbols_) return -1;
    const uint64_t at = key(depth, state);
    if (auto found = memo_.find(at); found != memo_.end()) return found->second;
    int best = -1;
    unsigned bestLeaves = 0;
    const unsigned most = std::min(positions, symbols_ - state.used);
    for (unsigned leaves = depth + 1 == kMaxLength ? positions : 0; leaves <= most; ++leaves) {
      const Step next = step(depth, state, leaves);
      const int below = best_(depth + 1, next.next);
      if (below >= 0 && below + static_cast<int>(next.entries) > best) {
        best = below + static_cast<int>(next.entries);
        bestLeaves = leaves;
      }
    }
    memo_[at] = best;
    choice_[at] = bestLeaves;
    return best;
  }

  unsigned symbols_;
  unsigned root_;
  std::unordered_map<uint64_t, int> memo_;
  std::unordered_map<uint64_t, unsigned> choice_;
};

unsigned builderEntries(const std::vector<uint8_t>& lengths, unsigned rootBits) {
  static std::vector<HuffmanEntry> pool(4096);
  static const uint8_t kNoExtra[288] = {};
  static uint16_t numbers[288];
  const HuffmanSymbolMeaning meaning{0, numbers, kNoExtra};
  HuffmanTable table;
  EXPECT_TRUE(buildHuffmanTable(lengths.data(), static_cast<unsigned>(lengths.size()), meaning,
                                rootBits, false, pool.data(), 4096, &table));
  EXPECT_EQ(table.rootBits, rootBits);
  return table.entryCount;
}

std::vector<unsigned> countsOf(const std::vector<uint8_t>& lengths) {
  std::vector<unsigned> counts(kMaxLength + 2, 0);
  for (uint8_t length : lengths) ++counts[length];
  return counts;
}

TEST(HuffmanPoolBounds, TheModelCountsWhatTheBuilderUses) {
  // Random complete codes of both kinds: the walk above counts the entries
  // the builder really takes, sub-sub-tables of deep distance codes too.
  samples::SampleRandom random(17);
  for (auto [symbols, root] : {std::pair{286u, 9u}, std::pair{30u, 6u}}) {
    PoolBound bound(symbols, root);
    for (int round = 0; round < 200; ++round) {
      // Split leaves of a random tree, favouring the deepest ones.
      std::vector<uint8_t> lengths = {1, 1};
      const unsigned target = 2 + random.below(symbols - 1);
      while (lengths.size() < target) {
        const auto i = static_cast<size_t>(random.below(static_cast<uint32_t>(lengths.size())));
        if (lengths[i] >= kMaxLength) continue;
        ++lengths[i];
        lengths.push_back(lengths[i]);
      }
      const auto longest = *std::max_element(lengths.begin(), lengths.end());
      const auto shortest = *std::min_element(lengths.begin(), lengths.end());
      if (longest < root || shortest > root) continue;  // another root width
      ASSERT_EQ(bound.entriesFor(countsOf(lengths)), builderEntries(lengths, root)) << round;
    }
  }
}

TEST(HuffmanPoolBounds, WorstCasesOfTheDynamicPools) {
  // Literal/length codes (at most 286 symbols, 9-bit root): the worst needs
  // more than the 800-entry pool, so the pool check stays and such a block
  // fails, as the format's pools require.
  std::vector<uint8_t> lengths;
  PoolBound literals(286, 9);
  const unsigned literalWorst = literals.worstCase(&lengths);
  EXPECT_EQ(literalWorst, 852u);
  EXPECT_LE(lengths.size(), 286u);
  EXPECT_EQ(builderEntries(lengths, 9), literalWorst);

  // Distance codes (at most 30 symbols, 6-bit root, a third level below 12
  // bits): the worst needs 154 entries, also more than its 150-entry pool,
  // so that check stays too (the stream tests decode such a block).
  PoolBound distances(30, 6);
  const unsigned distanceWorst = distances.worstCase(&lengths);
  EXPECT_EQ(distanceWorst, 154u);
  EXPECT_LE(lengths.size(), 30u);
  EXPECT_EQ(builderEntries(lengths, 6), distanceWorst);
}

}  // namespace
}  // namespace ks::cabinet
