#include "app/fixed_text.h"

namespace ks {

namespace {

bool isUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string fitText(std::string_view text, std::size_t bufferBytes) {
  if (bufferBytes == 0) return {};
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.size() < bufferBytes) return std::string(text);
  // text[kept] is the first byte left out: while it continues a character,
  // that character's first bytes go too.
  std::size_t kept = bufferBytes - 1;
  while (kept > 0 && isUtf8Continuation(text[kept])) --kept;
  return std::string(text.substr(0, kept));
}

void cutToBuffer(std::string& text, std::size_t bufferBytes) {
  text = fitText(text, bufferBytes);
}

}  // namespace ks
