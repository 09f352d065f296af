#include "download/content_length.h"

#include <limits>

namespace ks {

bool parseContentLength(std::string_view text, std::uint64_t& size) {
  if (text.empty()) return false;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (kMax - digit) / 10) return false;
    value = value * 10 + digit;
  }
  size = value;
  return true;
}

}  // namespace ks
