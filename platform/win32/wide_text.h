#pragma once
// The core speaks UTF-8; Windows' W functions speak UTF-16. Conversions
// happen here, at the edge, and nothing is cut: text that isn't valid UTF-8
// (or UTF-16) is refused.

#include <optional>
#include <string>
#include <string_view>

namespace ks {

// UTF-8 to UTF-16; nothing when the text isn't valid UTF-8.
std::optional<std::wstring> widen(std::string_view text);
// UTF-16 to UTF-8; nothing when the text isn't valid UTF-16.
std::optional<std::string> narrow(std::wstring_view text);

}  // namespace ks
