#include "app/printable_text.h"

namespace ks {

namespace {
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr char kReplacement = '?';
}  // namespace

bool isControlCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < kFirstPrintable || byte == kDelete;
}

std::string printableText(std::string_view text) {
  std::string printable(text);
  for (char& c : printable) {
    if (isControlCharacter(c)) c = kReplacement;
  }
  return printable;
}

}  // namespace ks
