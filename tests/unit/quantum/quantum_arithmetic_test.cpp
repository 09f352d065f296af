// The Quantum decoder against a decoding done step by step as the format
// describes it (16-bit registers, the division, renormalising one bit at a
// time, byte-by-byte copies), on arbitrary input: every bit pattern is some
// stream, so random bytes reach renormalisations our encoder rarely makes.

#include <gtest/gtest.h>

#include <span>

#include "cabinet/quantum_model.h"
#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/quantum/quantum_test_support.h"

namespace ks::testing {
namespace {

using namespace ks::cabinet;

class StepByStepQuantum {
 public:
  explicit StepByStepQuantum(unsigned windowBits) : window_(size_t{1} << windowBits) {
    initQuantumModels(models_, windowBits);
  }

  // Decodes one block into `out` (what it produced until it stopped);
  // false when the block fails.
  bool decode(std::span<const uint8_t> input, uint32_t size, std::vector<uint8_t>& out) {
    input_ = input;
    bit_ = 0;
    exhausted_ = false;
    overflow_ = false;
    out.clear();
    value_ = bits(16);
    low_ = 0;
    high_ = 0xFFFF;
    const QuantumSlotTables& tables = models_.tables;
    while (out.size() < size && !exhausted_ && !overflow_) {
      const unsigned selector = symbol(kQuantumSelectorModel);
      if (selector < 4) {
        append(out, static_cast<uint8_t>(symbol(kQuantumLiteralModel0 + selector) + 64 * selector));
        continue;
      }
      uint32_t length = selector == kQuantumSelectorMatch3 ? 3 : 4;
      unsigned slot;
      if (selector == kQuantumSelectorMatch3) {
        slot = symbol(kQuantumPosition3Model);
      } else if (selector == kQuantumSelectorMatch4) {
        slot = symbol(kQuantumPosition4Model);
      } else {
        const unsigned lengthSlot = symbol(kQuantumLengthModel);
        length = tables.lengthBase[lengthSlot] + bits(tables.lengthExtraBits[lengthSlot]) + 5;
        slot = symbol(kQuantumPositionLongModel);
      }
      const uint32_t distance =
          tables.positionBase[slot] + bits(tables.positionExtraBits[slot]) + 1;
      if (out.size() + length > size) {
        overflow_ = true;
        break;
      }
      for (uint32_t i = 0; i < length; ++i) {
        append(out, window_[(position_ - distance) & (window_.size() - 1)]);
      }
    }
    return !exhausted_ && !overflow_;
  }

 private:
  unsigned bit() {
    if (bit_ >= 8 * input_.size()) {
      exhausted_ = true;
      return 0;
    }
    const unsigned value = (input_[bit_ / 8] >> (7 - bit_ % 8)) & 1;
    ++bit_;
    return value;
  }
  uint32_t bits(unsigned count) {
    uint32_t value = 0;
    while (count-- > 0) value = (value << 1) | bit();
    return value;
  }

  unsigned symbol(unsigned modelIndex) {
    QuantumModel& model = models_.models[modelIndex];
    const uint32_t total = model.cumulative[0];
    const uint32_t range = high_ - low_ + 1;
    const uint32_t target = ((value_ - low_ + 1) * total - 1) / range;
    unsigned i = 0;
    while (model.cumulative[i + 1] > target) ++i;
    const unsigned result = model.symbol[i];
    const uint32_t low = low_;
    high_ = low + model.cumulative[i] * range / total - 1;
    low_ = low + model.cumulative[i + 1] * range / total;
    for (;;) {
      if ((low_ ^ high_) & 0x8000) {
        if (!(low_ & 0x4000) || (high_ & 0x4000)) break;
        low_ &= 0x3FFF;
        value_ ^= 0x4000;
        high_ |= 0x4000;
      }
      low_ = (low_ << 1) & 0xFFFF;
      high_ = ((high_ << 1) | 1) & 0xFFFF;
      value_ = ((value_ << 1) | bit()) & 0xFFFF;
    }
    updateQuantumModel(model, i);
    return result;
  }

  void append(std::vector<uint8_t>& out, uint8_t byte) {
    window_[position_++ & (window_.size() - 1)] = byte;
    out.push_back(byte);
  }

  QuantumModels models_;
  std::vector<uint8_t> window_;
  uint32_t position_ = 0;
  std::span<const uint8_t> input_;
  size_t bit_ = 0;
  bool exhausted_ = false;
  bool overflow_ = false;
  uint32_t low_ = 0;
  uint32_t high_ = 0xFFFF;
  uint32_t value_ = 0;
};

TEST(QuantumArithmetic, ArbitraryInputDecodesAsTheFormatDescribes) {
  // Random bytes and encoder output with flipped bits, block after block
  // (models and window carry over, also past failed blocks), with requested
  // sizes that make some blocks run out of input or overflow.
  samples::SampleRandom random(23);
  for (unsigned windowBits : {10u, 16u, 21u}) {
    TestAllocator::reset();
    QuantumFolderDecoder decoder(static_cast<int>(windowBits));
    ASSERT_EQ(decoder.created(), DECODER_OK);
    StepByStepQuantum reference(windowBits);
    const auto plain = samples::sampleOf(samples::Shape::kExecutable, 30000);
    const auto encoded = quantumCompressFolder(plain, static_cast<int>(windowBits), 4000);
    for (unsigned block = 0; block < 40; ++block) {
      std::vector<uint8_t> input = encoded[block % encoded.size()].compressed;
      if (block % 3 == 0) {
        input.resize(1 + random.below(3000));
        for (uint8_t& byte : input) byte = static_cast<uint8_t>(random.next());
      } else {
        input[random.below(static_cast<uint32_t>(input.size()))] ^= 1u << random.below(8);
      }
      const uint32_t size = 1 + random.below(block % 2 ? 32768 : 3000);
      std::vector<uint8_t> produced;
      std::vector<uint8_t> expected;
      const bool succeeded = reference.decode(input, size, expected);
      ASSERT_EQ(decoder.decode(input, size, &produced), succeeded ? DECODER_OK : DECODER_FAILED)
          << windowBits << " " << block;
      produced.resize(expected.size());
      ASSERT_EQ(produced, expected) << windowBits << " " << block;
    }
  }
}

}  // namespace
}  // namespace ks::testing
