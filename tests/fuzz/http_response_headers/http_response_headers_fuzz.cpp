// Header lines of an HTTP answer, split at line feeds as the client hands
// them over; then what the engine and the client read from them: the
// Content-Length, the Content-Range of a continued file and where a
// redirect may lead.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "download/content_length.h"
#include "download/content_range.h"
#include "platform/posix/curl_redirects.h"
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
  if (headers.find("Content-Length", value)) {
    if (value.find_first_of("\r\n") == 0) __builtin_trap();
    std::uint64_t length = 0;
    if (ks::parseContentLength(value, length) &&
        value.find_first_not_of("0123456789") != std::string::npos)
      __builtin_trap();
  }
  if (headers.find("Content-Range", value)) {
    ks::ContentRange range;
    if (ks::parseContentRange(value, range) &&
        (range.first > range.last || (range.totalKnown && range.last >= range.total)))
      __builtin_trap();  // a piece that can't lie in the file
  }
  if (headers.statusCode() < 0 || headers.statusCode() > 999) __builtin_trap();
  if (headers.isRedirect() && headers.find("Location", value)) {
    if (ks::redirectAllowed("https://mirror.example/pub/app.cab", value) &&
        value.rfind("http:", 0) == 0)
      __builtin_trap();  // never from https to http
  }
  return 0;
}
