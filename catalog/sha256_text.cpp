#include "catalog/sha256_text.h"

namespace ks {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

// The value of a hexadecimal digit, or -1.
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool parseSha256Text(std::string_view text, Sha256Digest& digest) {
  if (text.size() != 2 * digest.size()) return false;
  Sha256Digest parsed{};
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    const int high = digitValue(text[2 * i]);
    const int low = digitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    parsed[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  digest = parsed;
  return true;
}

std::string sha256Text(const Sha256Digest& digest) {
  std::string text;
  text.reserve(2 * digest.size());
  for (std::uint8_t byte : digest) {
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0x0f];
  }
  return text;
}

}  // namespace ks
