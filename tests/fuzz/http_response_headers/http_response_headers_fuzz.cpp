// Header lines of an HTTP answer, split at line feeds as the client hands
// them over.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/posix/curl_response_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ks::ResponseHeaders headers;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    headers.addLine(text.substr(0, length));
    text.remove_prefix(length);
  }
  std::string value;
  if (headers.find("Content-Length", value) && value.find_first_of("\r\n") == 0) __builtin_trap();
  if (headers.statusCode() < 0 || headers.statusCode() > 999) __builtin_trap();
  (void)headers.isRedirect();
  return 0;
}
