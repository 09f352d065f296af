#include "platform/posix/registry_values_file.h"

#include <charconv>

#include "platform/posix/registry_names.h"

namespace ks::registry {

namespace {

constexpr std::string_view kMagicLine = "KSREG1\n";

// Reads a decimal count ended by terminator; advances text past it. Only the
// form the writer produces is accepted (no sign, no leading zeros).
bool readCount(std::string_view& text, char terminator, std::uint64_t& count) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  const auto used = static_cast<std::size_t>(end - text.data());
  if (error != std::errc() || used == 0 || used >= text.size() || text[used] != terminator ||
      (used > 1 && text[0] == '0')) {
    return false;
  }
  text.remove_prefix(used + 1);
  return true;
}

bool readValue(std::string_view& text, RegistryValue& value) {
  std::uint64_t nameLength = 0;
  std::uint64_t dataLength = 0;
  if (!readCount(text, ' ', nameLength) || !readCount(text, '\n', dataLength)) return false;
  if (nameLength > text.size() || dataLength > text.size() - nameLength ||
      text.size() - nameLength - dataLength < 1 || text[nameLength + dataLength] != '\n') {
    return false;
  }
  value.name.assign(text.substr(0, nameLength));
  value.data.assign(text.substr(nameLength, dataLength));
  text.remove_prefix(nameLength + dataLength + 1);
  return true;
}

}  // namespace

std::string serializeValues(const std::vector<RegistryValue>& values) {
  std::string text(kMagicLine);
  for (const RegistryValue& value : values) {
    text += std::to_string(value.name.size()) + ' ' + std::to_string(value.data.size()) + '\n';
    text += value.name;
    text += value.data;
    text += '\n';
  }
  return text;
}

bool parseValues(std::string_view text, std::vector<RegistryValue>& values) {
  if (text.substr(0, kMagicLine.size()) != kMagicLine) return false;
  text.remove_prefix(kMagicLine.size());
  std::vector<RegistryValue> parsed;
  while (!text.empty()) {
    RegistryValue value;
    if (!readValue(text, value)) return false;
    parsed.push_back(std::move(value));
  }
  values = std::move(parsed);
  return true;
}

RegistryValue* findValue(std::vector<RegistryValue>& values, std::string_view name) {
  for (RegistryValue& value : values) {
    if (sameName(value.name, name)) return &value;
  }
  return nullptr;
}

}  // namespace ks::registry
