#pragma once
// A SHA-256 digest written as text, as a version-info file gives it
// ("SHA256=" and 64 hexadecimal digits) and as the publisher's tools print
// it.

#include <string>
#include <string_view>

#include "platform/hashing.h"

namespace ks {

// Exactly 64 hexadecimal digits, either case, nothing else (no blanks, no
// prefix); false for anything else.
bool parseSha256Text(std::string_view text, Sha256Digest& digest);

// 64 lower-case hexadecimal digits.
std::string sha256Text(const Sha256Digest& digest);

}  // namespace ks
