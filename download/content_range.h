#pragma once
// The Content-Range of a 206 answer, which says where the piece it carries
// lies in the whole file: "bytes FIRST-LAST/TOTAL", or "bytes FIRST-LAST/*"
// when the server doesn't tell the total.

#include <cstdint>
#include <string_view>

namespace ks {

struct ContentRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;   // the piece's last byte (inclusive)
  std::uint64_t total = 0;  // 0 when not told
  bool totalKnown = false;
};

// False for anything but that form: decimal numbers only, FIRST no greater
// than LAST, and LAST below TOTAL when a total is given.
bool parseContentRange(std::string_view text, ContentRange& range);

}  // namespace ks
