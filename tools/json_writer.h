#pragma once
// Minimal JSON text output for the tool's machine-readable answers.

#include <string>
#include <string_view>

namespace ks::tool {

// A JSON string literal. Control characters and bytes of 0x80 and above are
// written as \u00XX, so the output is plain ASCII whatever the file's code page.
std::string jsonString(std::string_view text);

inline const char* jsonBool(bool value) {
  return value ? "true" : "false";
}

}  // namespace ks::tool
