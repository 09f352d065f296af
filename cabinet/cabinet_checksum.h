#pragma once
// The cabinet data-block checksum, shared by the reader and our writer.

#include <cstddef>
#include <cstdint>

namespace ks::cab {

// XORs each group of four bytes (little-endian) into seed; one to three
// leftover bytes are XORed in as one value, the first leftover byte most
// significant.
uint32_t cabinetChecksum(const uint8_t* data, std::size_t size, uint32_t seed);

}  // namespace ks::cab
