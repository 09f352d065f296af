// Quantum's adaptive models and slot tables.

#include "cabinet/quantum_model.h"

#include <utility>

namespace ks::cabinet {
namespace {

constexpr unsigned kInitialShiftsLeft = 4;

}  // namespace

void initQuantumModel(QuantumModel& model, unsigned symbolCount) {
  // Entries past the sentinel stay 0, so decoders may scan a fixed number of
  // entries.
  model = QuantumModel{};
  model.symbolCount = symbolCount;
  model.shiftsLeft = kInitialShiftsLeft;
  for (unsigned i = 0; i <= symbolCount; ++i) {
    model.symbol[i] = static_cast<uint16_t>(i);
    model.cumulative[i] = static_cast<uint16_t>(symbolCount - i);
  }
}

void rescaleQuantumModel(QuantumModel& model) {
  const unsigned n = model.symbolCount;
  uint16_t* cumulative = model.cumulative;
  if (--model.shiftsLeft != 0) {
    // Halve, keeping every symbol's frequency at least 1.
    for (unsigned i = n; i-- > 0;) {
      cumulative[i] >>= 1;
      if (cumulative[i] <= cumulative[i + 1]) cumulative[i] = cumulative[i + 1] + 1;
    }
    return;
  }

  // Rebuild: single frequencies, halved (rounding up), ...
  model.shiftsLeft = kQuantumRescalesBeforeRebuild;
  for (unsigned i = 0; i < n; ++i) {
    cumulative[i] = static_cast<uint16_t>((cumulative[i] - cumulative[i + 1] + 1) >> 1);
  }
  // ... sorted by decreasing frequency with this exchange sort: the order it
  // leaves entries of equal frequency in is part of the format ...
  for (unsigned i = 0; i + 1 < n; ++i) {
    for (unsigned j = i + 1; j < n; ++j) {
      if (cumulative[j] > cumulative[i]) {
        std::swap(cumulative[i], cumulative[j]);
        std::swap(model.symbol[i], model.symbol[j]);
      }
    }
  }
  // ... and summed up again (the sentinel stays 0).
  for (unsigned i = n; i-- > 0;) cumulative[i] += cumulative[i + 1];
}

void computeQuantumSlotTables(QuantumSlotTables& tables) {
  uint32_t base = 0;
  for (unsigned slot = 0; slot < kQuantumLengthSlots; ++slot) {
    unsigned extra = (slot < 6 || slot == 26) ? 0 : (slot - 2) / 4;
    tables.lengthBase[slot] = base;
    tables.lengthExtraBits[slot] = static_cast<uint8_t>(extra);
    base += 1u << extra;
  }
  base = 0;
  for (unsigned slot = 0; slot < kQuantumPositionSlots; ++slot) {
    unsigned extra = slot < 4 ? 0 : (slot - 2) / 2;
    tables.positionBase[slot] = base;
    tables.positionExtraBits[slot] = static_cast<uint8_t>(extra);
    base += 1u << extra;
  }
}

QuantumPositionModelSizes quantumPositionModelSizes(const QuantumSlotTables& tables,
                                                    unsigned windowBits) {
  const uint32_t window = uint32_t{1} << windowBits;
  auto slotsBelow = [&tables](uint32_t limit) {
    unsigned count = 0;
    while (count < kQuantumPositionSlots && tables.positionBase[count] < limit) ++count;
    return count;
  };
  return QuantumPositionModelSizes{slotsBelow(window < 4096 ? window : 4096),
                                   slotsBelow(window < 262144 ? window : 262144),
                                   slotsBelow(window)};
}

void initQuantumModels(QuantumModels& models, unsigned windowBits) {
  computeQuantumSlotTables(models.tables);
  QuantumPositionModelSizes sizes = quantumPositionModelSizes(models.tables, windowBits);
  initQuantumModel(models.models[kQuantumSelectorModel], kQuantumSelectorSymbols);
  for (unsigned k = 0; k < 4; ++k) {
    initQuantumModel(models.models[kQuantumLiteralModel0 + k], kQuantumLiteralSymbols);
  }
  initQuantumModel(models.models[kQuantumPosition3Model], sizes.length3);
  initQuantumModel(models.models[kQuantumPosition4Model], sizes.length4);
  initQuantumModel(models.models[kQuantumLengthModel], kQuantumLengthSlots);
  initQuantumModel(models.models[kQuantumPositionLongModel], sizes.longer);
}

}  // namespace ks::cabinet
