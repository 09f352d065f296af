#pragma once
// Quantum's adaptive frequency models and slot tables. Shared by the decoder and by our encoder
// (tools/cabwriter), which must update its models exactly as the decoder does.
//
// A model of n symbols keeps n + 1 entries ordered by decreasing cumulative
// frequency: entry 0 holds the total, entry n is a sentinel of 0. Decoding a
// symbol finds the entry whose interval [cumulative[i + 1], cumulative[i])
// holds the target; then 8 is added to the cumulative frequencies of entries
// 0 to i, so the symbol's own frequency grows by 8. When the total passes
// 3800 the model is halved, and every 50th time it is rebuilt with its
// entries sorted by frequency, which changes the order of the symbols.

#include <cstdint>

namespace ks::cabinet {

inline constexpr unsigned kQuantumMaxModelSymbols = 64;
inline constexpr unsigned kQuantumFrequencyStep = 8;
inline constexpr unsigned kQuantumRescaleThreshold = 3800;
inline constexpr unsigned kQuantumRescalesBeforeRebuild = 50;

struct QuantumModel {
  unsigned symbolCount;
  unsigned shiftsLeft;
  // Entries 0 to symbolCount (the last one the sentinel); the entries after
  // the sentinel stay 0, so a decoder may work on groups of 8 entries.
  alignas(16) uint16_t cumulative[kQuantumMaxModelSymbols + 8];
  uint16_t symbol[kQuantumMaxModelSymbols + 1];
};

// Entry i gets symbol i and cumulative frequency n - i; shifts-left 4.
void initQuantumModel(QuantumModel& model, unsigned symbolCount);

// Halves the model's frequencies, or every 50th time rebuilds and re-sorts it.
void rescaleQuantumModel(QuantumModel& model);

// The update after the symbol of entry `index` was coded.
inline void updateQuantumModel(QuantumModel& model, unsigned index) {
  for (unsigned i = 0; i <= index; ++i) model.cumulative[i] += kQuantumFrequencyStep;
  if (model.cumulative[0] > kQuantumRescaleThreshold) rescaleQuantumModel(model);
}

// Match lengths of selector 6: 27 length slots, each a base and a count of
// extra bits; the length is base + extra + 5 (5 to 259).
inline constexpr unsigned kQuantumLengthSlots = 27;
inline constexpr unsigned kQuantumLongMatchMinimum = 5;
// Match distances: 42 position slots; the distance is base + extra + 1.
inline constexpr unsigned kQuantumPositionSlots = 42;

struct QuantumSlotTables {
  uint32_t lengthBase[kQuantumLengthSlots];
  uint8_t lengthExtraBits[kQuantumLengthSlots];
  uint32_t positionBase[kQuantumPositionSlots];
  uint8_t positionExtraBits[kQuantumPositionSlots];
};

// Extra bits: length slots 0-5 and 26 none, otherwise (slot - 2) / 4;
// position slots 0-3 none, otherwise (slot - 2) / 2. Each base is the sum of
// 2^extra over the slots before it.
void computeQuantumSlotTables(QuantumSlotTables& tables);

// The sizes of the three position models for a window of 2^windowBits
// bytes: the numbers of position slots whose base is below the window size
// (longer matches), below min(window, 4096) (matches of length 3) and below
// min(window, 262144) (matches of length 4).
struct QuantumPositionModelSizes {
  unsigned length3;
  unsigned length4;
  unsigned longer;
};
QuantumPositionModelSizes quantumPositionModelSizes(const QuantumSlotTables& tables,
                                                    unsigned windowBits);

// The models (the selector, four literal, three position and one length
// model) and the order in which they are kept.
enum QuantumModelIndex : unsigned {
  kQuantumSelectorModel = 0,
  kQuantumLiteralModel0 = 1,  // literal models 0 to 3: bytes 64k to 64k + 63
  kQuantumPosition3Model = 5,
  kQuantumPosition4Model = 6,
  kQuantumLengthModel = 7,
  kQuantumPositionLongModel = 8,
  kQuantumModelCount = 9,
};
inline constexpr unsigned kQuantumSelectorSymbols = 7;
inline constexpr unsigned kQuantumLiteralSymbols = 64;

// Selector values.
inline constexpr unsigned kQuantumSelectorMatch3 = 4;
inline constexpr unsigned kQuantumSelectorMatch4 = 5;
inline constexpr unsigned kQuantumSelectorLongMatch = 6;

// All models and tables of one coder (decoder or encoder).
struct QuantumModels {
  QuantumSlotTables tables;
  QuantumModel models[kQuantumModelCount];
};

// Computes the tables and initialises every model for the window size (at
// creation and at every reset).
void initQuantumModels(QuantumModels& models, unsigned windowBits);

}  // namespace ks::cabinet
