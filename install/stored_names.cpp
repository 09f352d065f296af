#include "install/stored_names.h"

#include <algorithm>
#include <vector>

#include "app/paths.h"
#include "app/printable_text.h"

namespace ks {

namespace {

constexpr char kStoredSeparator = '\\';

bool isSeparator(char c) {
  return c == kStoredSeparator || c == '/';
}

// The parts between separators (backslashes and slashes), empty ones too.
std::vector<std::string_view> componentsOf(std::string_view stored) {
  std::vector<std::string_view> components;
  std::size_t start = 0;
  while (start <= stored.size()) {
    std::size_t end = start;
    while (end < stored.size() && !isSeparator(stored[end])) ++end;
    components.push_back(stored.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

}  // namespace

bool isSafeStoredName(std::string_view stored) {
  return staysInsideFolder(stored) &&
         std::none_of(stored.begin(), stored.end(), isControlCharacter);
}

bool isPlainCabinetName(std::string_view name) {
  return isSafeStoredName(name) && name != "." &&
         std::none_of(name.begin(), name.end(), isSeparator) &&
         name.find(':') == std::string_view::npos;
}

std::string storedNameToPath(std::string_view stored) {
  std::string path;
  for (std::string_view component : componentsOf(stored)) {
    if (component.empty() || component == ".") continue;
    if (!path.empty()) path += kPathSeparator;
    path += component;
  }
  return path;
}

}  // namespace ks
