#pragma once
// Texts from outside (a catalog, a cabinet, a server) as they may reach a
// terminal: no control character gets through to drive it.

#include <string>
#include <string_view>

namespace ks {

// A byte below 32, or 127 (DEL).
bool isControlCharacter(char c);

// The text with every control character replaced by '?'.
std::string printableText(std::string_view text);

}  // namespace ks
