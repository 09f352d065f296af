#pragma once
// The setup holds its texts in buffers of fixed sizes; a size counts the
// terminating zero, so a 20-byte buffer holds 19 characters. These helpers
// cut a text to such a buffer; nothing is ever kept past the limit, and a
// character of several UTF-8 bytes is kept whole or not at all. Paths are
// never cut: one too long is refused (see pathFits in app/paths.h).

#include <cstddef>
#include <string>
#include <string_view>

namespace ks {

// Buffer sizes shared by several parts of the setup.
inline constexpr std::size_t kMaxPathBytes = 260;  // MAX_PATH
inline constexpr std::size_t kUrlBytes = 1024;

// The text as a buffer of bufferBytes bytes would hold it: at most
// bufferBytes - 1 bytes, fewer where the cut would split a UTF-8 character,
// and cut at the first NUL.
std::string fitText(std::string_view text, std::size_t bufferBytes);

// Cuts text in place to what a buffer of bufferBytes bytes holds.
void cutToBuffer(std::string& text, std::size_t bufferBytes);

}  // namespace ks
