#pragma once
// Copying a few bytes without a loop or a call, for the decoders' match
// copies.

#include <cstdint>
#include <cstring>

namespace ks::cabinet {

// Copies 1 to 16 bytes as two word copies that may cover some bytes twice:
// no loop, no call, nothing written past the end. Every byte is read before
// any is written, so an overlap copies as memmove does (a match whose
// distance is shorter than its length needs a copy of its own).
inline void copyShort(uint8_t* to, const uint8_t* from, uint32_t length) {
  uint8_t head[8];
  uint8_t tail[8];
  if (length >= 8) {
    std::memcpy(head, from, 8);
    std::memcpy(tail, from + length - 8, 8);
    std::memcpy(to, head, 8);
    std::memcpy(to + length - 8, tail, 8);
  } else if (length >= 4) {
    std::memcpy(head, from, 4);
    std::memcpy(tail, from + length - 4, 4);
    std::memcpy(to, head, 4);
    std::memcpy(to + length - 4, tail, 4);
  } else {
    const uint8_t first = from[0];
    const uint8_t middle = from[length / 2];
    const uint8_t last = from[length - 1];
    to[0] = first;
    to[length / 2] = middle;
    to[length - 1] = last;
  }
}

}  // namespace ks::cabinet
