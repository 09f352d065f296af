// Coding Quantum items with the models the decoder uses.

#include "tools/cabwriter/quantum_item_encoder.h"

#include <utility>

namespace ks::cabwriter {
namespace {

// The largest distance the position slots of a model of `slots` symbols can
// express: the last slot's base plus all its extra bits, plus 1.
uint32_t maxDistanceOf(const cabinet::QuantumSlotTables& tables, unsigned slots) {
  const unsigned last = slots - 1;
  return tables.positionBase[last] + (uint32_t{1} << tables.positionExtraBits[last]);
}

// The slot whose range [base[slot], base[slot + 1]) holds `value`.
unsigned slotFor(const uint32_t* base, unsigned slots, uint32_t value) {
  unsigned slot = slots - 1;
  while (base[slot] > value) --slot;
  return slot;
}

}  // namespace

QuantumItemEncoder::QuantumItemEncoder(unsigned windowBits) : windowBits_(windowBits) {
  reset();
}

void QuantumItemEncoder::reset() {
  cabinet::initQuantumModels(models_, windowBits_);
  const auto sizes = cabinet::quantumPositionModelSizes(models_.tables, windowBits_);
  maxDistance3_ = maxDistanceOf(models_.tables, sizes.length3);
  maxDistance4_ = maxDistanceOf(models_.tables, sizes.length4);
  maxDistanceLong_ = maxDistanceOf(models_.tables, sizes.longer);
  coder_ = QuantumArithmeticEncoder{};
}

void QuantumItemEncoder::literal(uint8_t byte) {
  // Literal model k holds the bytes 64k to 64k + 63; its number is the
  // selector.
  const unsigned model = byte / cabinet::kQuantumLiteralSymbols;
  coder_.encode(models_.models[cabinet::kQuantumSelectorModel], model);
  coder_.encode(models_.models[cabinet::kQuantumLiteralModel0 + model],
                byte % cabinet::kQuantumLiteralSymbols);
}

void QuantumItemEncoder::match(uint32_t length, uint32_t distance) {
  const cabinet::QuantumSlotTables& tables = models_.tables;
  cabinet::QuantumModel* models = models_.models;
  unsigned positionModel;
  if (length == 3) {
    coder_.encode(models[cabinet::kQuantumSelectorModel], cabinet::kQuantumSelectorMatch3);
    positionModel = cabinet::kQuantumPosition3Model;
  } else if (length == 4) {
    coder_.encode(models[cabinet::kQuantumSelectorModel], cabinet::kQuantumSelectorMatch4);
    positionModel = cabinet::kQuantumPosition4Model;
  } else {
    // A longer match: its length slot, then the slot's extra bits raw.
    coder_.encode(models[cabinet::kQuantumSelectorModel], cabinet::kQuantumSelectorLongMatch);
    const uint32_t lengthValue = length - cabinet::kQuantumLongMatchMinimum;
    const unsigned lengthSlot =
        slotFor(tables.lengthBase, cabinet::kQuantumLengthSlots, lengthValue);
    coder_.encode(models[cabinet::kQuantumLengthModel], lengthSlot);
    coder_.raw(lengthValue - tables.lengthBase[lengthSlot], tables.lengthExtraBits[lengthSlot]);
    positionModel = cabinet::kQuantumPositionLongModel;
  }
  // The position slot, then its extra bits raw.
  const uint32_t positionValue = distance - 1;
  const unsigned slot =
      slotFor(tables.positionBase, models[positionModel].symbolCount, positionValue);
  coder_.encode(models[positionModel], slot);
  coder_.raw(positionValue - tables.positionBase[slot], tables.positionExtraBits[slot]);
}

std::vector<uint8_t> QuantumItemEncoder::finishBlock(uint32_t* bitCount) {
  std::vector<uint8_t> bytes = coder_.finish(bitCount);
  coder_ = QuantumArithmeticEncoder{};
  return bytes;
}

}  // namespace ks::cabwriter
