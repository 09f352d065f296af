#include "cabinet/cabinet_checksum.h"

#include "cabinet/cabinet_bytes.h"

namespace ks::cab {

uint32_t cabinetChecksum(const uint8_t* data, std::size_t size, uint32_t seed) {
  uint32_t sum = seed;
  std::size_t i = 0;
  for (; i + 4 <= size; i += 4) sum ^= readU32(data + i);
  uint32_t tail = 0;
  for (; i < size; ++i) tail = (tail << 8) | data[i];
  return sum ^ tail;
}

}  // namespace ks::cab
