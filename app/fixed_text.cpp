#include "app/fixed_text.h"

namespace ks {

std::string fitText(std::string_view text, std::size_t bufferBytes) {
  if (bufferBytes == 0) return {};
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  return std::string(text.substr(0, bufferBytes - 1));
}

void cutToBuffer(std::string& text, std::size_t bufferBytes) {
  text = fitText(text, bufferBytes);
}

}  // namespace ks
