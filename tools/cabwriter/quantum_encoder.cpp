// Placeholder until the encoder lands.
#include "tools/cabwriter/quantum_encoder.h"

namespace ks::cabwriter {
struct QuantumEncoder::State {};
QuantumEncoder::QuantumEncoder(int windowBits) : windowBits_(windowBits) {}
QuantumEncoder::~QuantumEncoder() = default;
bool QuantumEncoder::encodeBlock(std::span<const uint8_t>, std::vector<uint8_t>&) { return false; }
void QuantumEncoder::reset() {}
}  // namespace ks::cabwriter
