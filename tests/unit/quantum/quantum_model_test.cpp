// Quantum's models and slot tables, and rescaling a model.

#include "cabinet/quantum_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace ks::cabinet {
namespace {

TEST(QuantumModel, PositionModelSizesFollowTheWindow) {
  QuantumSlotTables tables;
  computeQuantumSlotTables(tables);
  QuantumPositionModelSizes w10 = quantumPositionModelSizes(tables, 10);
  EXPECT_EQ(w10.length3, 20u);
  EXPECT_EQ(w10.length4, 20u);
  EXPECT_EQ(w10.longer, 20u);
  QuantumPositionModelSizes w21 = quantumPositionModelSizes(tables, 21);
  EXPECT_EQ(w21.length3, 24u);
  EXPECT_EQ(w21.length4, 36u);
  EXPECT_EQ(w21.longer, 42u);
  for (unsigned w = 10; w <= 21; ++w) EXPECT_EQ(quantumPositionModelSizes(tables, w).longer, 2 * w);
}

TEST(QuantumModel, SlotTablesMatchTheDescription) {
  QuantumSlotTables tables;
  computeQuantumSlotTables(tables);
  const uint32_t kLengthBases[27] = {0,  1,  2,  3,  4,  5,  6,  8,   10,  12,  14,  18,  22, 26,
                                     30, 38, 46, 54, 62, 78, 94, 110, 126, 158, 190, 222, 254};
  const uint32_t kPositionBases[42] = {
      0,     1,      2,      3,      4,      6,      8,      12,      16,     24,    32,
      48,    64,     96,     128,    192,    256,    384,    512,     768,    1024,  1536,
      2048,  3072,   4096,   6144,   8192,   12288,  16384,  24576,   32768,  49152, 65536,
      98304, 131072, 196608, 262144, 393216, 524288, 786432, 1048576, 1572864};
  for (unsigned s = 0; s < 27; ++s) EXPECT_EQ(tables.lengthBase[s], kLengthBases[s]) << s;
  for (unsigned s = 0; s < 42; ++s) EXPECT_EQ(tables.positionBase[s], kPositionBases[s]) << s;
  EXPECT_EQ(tables.lengthExtraBits[5], 0);
  EXPECT_EQ(tables.lengthExtraBits[6], 1);
  EXPECT_EQ(tables.lengthExtraBits[25], 5);
  EXPECT_EQ(tables.lengthExtraBits[26], 0);
  EXPECT_EQ(tables.positionExtraBits[3], 0);
  EXPECT_EQ(tables.positionExtraBits[4], 1);
  EXPECT_EQ(tables.positionExtraBits[41], 19);
  // Longest match: base 254 + 5.
  EXPECT_EQ(tables.lengthBase[26] + kQuantumLongMatchMinimum, 259u);
}

TEST(QuantumModel, InitialModelCountsDown) {
  QuantumModel model;
  initQuantumModel(model, 7);
  EXPECT_EQ(model.shiftsLeft, 4u);
  for (unsigned i = 0; i <= 7; ++i) {
    EXPECT_EQ(model.symbol[i], i);
    EXPECT_EQ(model.cumulative[i], 7 - i);
  }
}

TEST(QuantumModel, UpdateAddsEightUpToTheEntry) {
  QuantumModel model;
  initQuantumModel(model, 4);
  updateQuantumModel(model, 2);
  const uint16_t expected[5] = {4 + 8, 3 + 8, 2 + 8, 1, 0};
  for (unsigned i = 0; i <= 4; ++i) EXPECT_EQ(model.cumulative[i], expected[i]) << i;
}

// Frequencies of a model's entries (cumulative differences).
std::vector<unsigned> frequencies(const QuantumModel& model) {
  std::vector<unsigned> f;
  for (unsigned i = 0; i < model.symbolCount; ++i) {
    f.push_back(model.cumulative[i] - model.cumulative[i + 1]);
  }
  return f;
}

TEST(QuantumModel, HalvingKeepsEveryFrequencyPositive) {
  QuantumModel model;
  initQuantumModel(model, 3);
  // Cumulative 3001, 3000, 1, 0: halving gives 1500, 1500 -> raised to 1501.
  model.cumulative[0] = 3001;
  model.cumulative[1] = 3000;
  model.cumulative[2] = 1;
  rescaleQuantumModel(model);
  EXPECT_EQ(model.shiftsLeft, 3u);
  EXPECT_EQ(model.cumulative[2], 1);
  EXPECT_EQ(model.cumulative[1], 1500);
  EXPECT_EQ(model.cumulative[0], 1501);
  EXPECT_EQ(model.symbol[0], 0);
}

TEST(QuantumModel, RebuildSortsWithTheExchangeSort) {
  QuantumModel model;
  initQuantumModel(model, 4);
  model.shiftsLeft = 1;
  // Symbols 0..3 with frequencies 2, 6, 6, 10 (cumulative 24, 22, 16, 10).
  const uint16_t cumulative[5] = {24, 22, 16, 10, 0};
  std::copy(cumulative, cumulative + 5, model.cumulative);
  rescaleQuantumModel(model);
  EXPECT_EQ(model.shiftsLeft, 50u);
  // Halved with rounding up: 1, 3, 3, 5 for symbols 0, 1, 2, 3. The exchange
  // sort: i = 0 swaps with j = 1 (3 > 1) and j = 3 (5 > 3): 5, 1, 3, 3 for
  // 3, 0, 2, 1; i = 1 swaps with j = 2: 5, 3, 1, 3 for 3, 2, 0, 1; i = 2
  // swaps with j = 3: 5, 3, 3, 1 for 3, 2, 1, 0.
  EXPECT_EQ(frequencies(model), (std::vector<unsigned>{5, 3, 3, 1}));
  EXPECT_EQ(std::vector<unsigned>(model.symbol, model.symbol + 4),
            (std::vector<unsigned>{3, 2, 1, 0}));
  EXPECT_EQ(model.cumulative[0], 12);
  EXPECT_EQ(model.cumulative[4], 0);
}

TEST(QuantumModel, RebuildComesAtTheFourthRescaleThenEveryFiftieth) {
  QuantumModel model;
  initQuantumModel(model, 7);
  // Always code the last entry's symbol (least frequent at first): a
  // rebuild moves it to the front.
  unsigned rescales = 0;
  std::vector<unsigned> rebuilds;
  for (int n = 0; n < 200000 && rebuilds.size() < 2; ++n) {
    unsigned index = 0;
    while (model.symbol[index] != 6) ++index;
    const unsigned shiftsBefore = model.shiftsLeft;
    const uint16_t totalBefore = model.cumulative[0];
    updateQuantumModel(model, index);
    if (model.cumulative[0] < totalBefore) {
      ++rescales;
      if (shiftsBefore == 1) {
        rebuilds.push_back(rescales);
        EXPECT_EQ(model.symbol[0], 6);  // the most frequent symbol sorted first
        EXPECT_EQ(model.shiftsLeft, 50u);
      }
    }
  }
  EXPECT_EQ(rebuilds, (std::vector<unsigned>{4, 54}));
}

TEST(QuantumModel, ModelsOfAWindow) {
  QuantumModels models;
  initQuantumModels(models, 21);
  EXPECT_EQ(models.models[kQuantumSelectorModel].symbolCount, 7u);
  for (unsigned k = 0; k < 4; ++k)
    EXPECT_EQ(models.models[kQuantumLiteralModel0 + k].symbolCount, 64u);
  EXPECT_EQ(models.models[kQuantumPosition3Model].symbolCount, 24u);
  EXPECT_EQ(models.models[kQuantumPosition4Model].symbolCount, 36u);
  EXPECT_EQ(models.models[kQuantumLengthModel].symbolCount, 27u);
  EXPECT_EQ(models.models[kQuantumPositionLongModel].symbolCount, 42u);
}

}  // namespace
}  // namespace ks::cabinet
