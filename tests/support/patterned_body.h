#pragma once
// The body of the download peers' sized routes (http_server.py's pattern()):
// byte i is (i * 31 + i / 251) mod 256, so a gap or an overlap in what a
// client stored shows.

#include <cstddef>
#include <string>

namespace ks::test {

inline std::string patternedBody(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xff);
  return bytes;
}

}  // namespace ks::test
