#include "download/content_range.h"

#include "download/content_length.h"

namespace ks {

namespace {

constexpr std::string_view kUnit = "bytes ";

// Splits text at the first `separator`; false when it has none.
bool splitAt(std::string_view text, char separator, std::string_view& before,
             std::string_view& after) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) return false;
  before = text.substr(0, at);
  after = text.substr(at + 1);
  return true;
}

}  // namespace

bool parseContentRange(std::string_view text, ContentRange& range) {
  if (!text.starts_with(kUnit)) return false;
  std::string_view span;
  std::string_view total;
  std::string_view first;
  std::string_view last;
  if (!splitAt(text.substr(kUnit.size()), '/', span, total) || !splitAt(span, '-', first, last)) {
    return false;
  }
  ContentRange parsed;
  if (!parseContentLength(first, parsed.first) || !parseContentLength(last, parsed.last) ||
      parsed.first > parsed.last) {
    return false;
  }
  if (total != "*") {
    if (!parseContentLength(total, parsed.total) || parsed.last >= parsed.total) return false;
    parsed.totalKnown = true;
  }
  range = parsed;
  return true;
}

}  // namespace ks
