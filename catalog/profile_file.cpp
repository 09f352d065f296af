#include "catalog/profile_file.h"

#include "app/fixed_text.h"

namespace ks {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

// One pair of matching quotation marks around a value is removed.
std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Splits the text into lines ending in "\n" or "\r\n".
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

ProfileFile ProfileFile::parse(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  ProfileFile file;
  for (std::string_view line : splitLines(text)) {
    line = trimBlanks(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name =
          line.substr(1, close == std::string_view::npos ? line.npos : close - 1);
      file.sections_.push_back(Section{std::string(trimBlanks(name)), {}});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || file.sections_.empty()) continue;
    file.sections_.back().entries.push_back(
        Entry{std::string(trimBlanks(line.substr(0, equals))),
              std::string(unquote(trimBlanks(line.substr(equals + 1))))});
  }
  return file;
}

std::vector<std::string> ProfileFile::sectionNames(std::size_t listBytes) const {
  std::vector<std::string> names;
  std::size_t used = 1;  // the zero that ends the list
  for (const Section& section : sections_) {
    if (section.name.empty()) continue;  // an empty name would end the list
    const std::size_t needed = section.name.size() + 1;
    if (used + needed > listBytes) break;
    names.push_back(section.name);
    used += needed;
  }
  return names;
}

const ProfileFile::Entry* ProfileFile::findEntry(std::string_view section,
                                                 std::string_view key) const {
  for (const Section& candidate : sections_) {
    if (!equalsIgnoringCase(candidate.name, section)) continue;
    for (const Entry& entry : candidate.entries) {
      if (equalsIgnoringCase(entry.key, key)) return &entry;
    }
    return nullptr;  // only the first section of a name is searched
  }
  return nullptr;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferBytes) const {
  const Entry* entry = findEntry(section, key);
  return fitText(entry ? std::string_view(entry->value) : defaultValue, bufferBytes);
}

std::uint32_t ProfileFile::readInt(std::string_view section, std::string_view key,
                                   std::uint32_t defaultValue) const {
  const Entry* entry = findEntry(section, key);
  if (!entry) return defaultValue;
  std::uint32_t value = 0;
  for (char c : entry->value) {
    if (c < '0' || c > '9') break;
    value = value * 10u + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

}  // namespace ks
