#include "platform/posix/curl_response_headers.h"

#include <algorithm>
#include <cctype>

namespace ks {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool parseStatusLine(std::string_view line, int& statusCode) {
  if (!line.starts_with("HTTP/")) return false;
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return false;
  const std::string_view code = line.substr(blank + 1, 3);
  if (code.size() != 3 || !std::all_of(code.begin(), code.end(), isDigit)) return false;
  statusCode = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
  return true;
}

bool parseHeaderField(std::string_view line, std::string& name, std::string& value) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view rawName = trim(line.substr(0, colon));
  if (rawName.empty()) return false;
  name = rawName;
  value = trim(line.substr(colon + 1));
  return true;
}

HeaderLine ResponseHeaders::addLine(std::string_view line) {
  int code = 0;
  if (parseStatusLine(line, code)) {
    statusCode_ = code;
    fields_.clear();
    return HeaderLine::Status;
  }
  if (trim(line).empty()) return HeaderLine::End;
  std::string name;
  std::string value;
  if (!parseHeaderField(line, name, value)) return HeaderLine::Other;
  if (fields_.size() < kMaxFields) fields_.emplace_back(std::move(name), std::move(value));
  return HeaderLine::Field;
}

bool ResponseHeaders::find(std::string_view name, std::string& value) const {
  for (const auto& [fieldName, fieldValue] : fields_) {
    if (equalsIgnoringCase(fieldName, name)) {
      value = fieldValue;
      return true;
    }
  }
  return false;
}

bool ResponseHeaders::isRedirect() const {
  std::string location;
  return statusCode_ >= 300 && statusCode_ <= 399 && find("Location", location);
}

}  // namespace ks
