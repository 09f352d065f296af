#include "platform/posix/registry_names.h"

namespace ks::registry {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool needsEscape(unsigned char c, bool first) {
  return c < 0x20 || c >= 0x7F || c == '%' || c == '/' || (first && c == '.');
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string foldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && foldName(a) == foldName(b);
}

std::string encodeKeyName(std::string_view name) {
  std::string encoded;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (!needsEscape(c, i == 0)) {
      encoded.push_back(static_cast<char>(c));
      continue;
    }
    encoded.push_back('%');
    encoded.push_back(kHexDigits[c >> 4]);
    encoded.push_back(kHexDigits[c & 0xF]);
  }
  return encoded;
}

std::optional<std::string> decodeKeyName(std::string_view folderName) {
  std::string name;
  for (std::size_t i = 0; i < folderName.size(); ++i) {
    const auto c = static_cast<unsigned char>(folderName[i]);
    if (c != '%') {
      if (needsEscape(c, i == 0)) return std::nullopt;
      name.push_back(static_cast<char>(c));
      continue;
    }
    if (folderName.size() - i < 3) return std::nullopt;
    const int high = hexValue(folderName[i + 1]);
    const int low = hexValue(folderName[i + 2]);
    const auto decoded = static_cast<unsigned char>(high * 16 + low);
    // Only the escapes the encoder writes: one name has one folder name.
    if (high < 0 || low < 0 || !needsEscape(decoded, name.empty())) return std::nullopt;
    name.push_back(static_cast<char>(decoded));
    i += 2;
  }
  if (name.empty()) return std::nullopt;
  return name;
}

std::optional<std::vector<std::string>> splitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  if (path.empty()) return parts;
  for (;;) {
    const std::size_t end = path.find('\\');
    const std::string_view part = path.substr(0, end);
    if (part.empty()) return std::nullopt;
    parts.emplace_back(part);
    if (end == std::string_view::npos) return parts;
    path.remove_prefix(end + 1);
  }
}

}  // namespace ks::registry
