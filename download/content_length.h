#pragma once
// The Content-Length of an HTTP answer, as the engine takes it.

#include <cstdint>
#include <string_view>

namespace ks {

// Decimal digits only (no sign, no blanks), and no larger than 64 bits
// hold; false for anything else, so a server can't announce an unknown or
// negative size.
bool parseContentLength(std::string_view text, std::uint64_t& size);

}  // namespace ks
