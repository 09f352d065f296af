#include "install/stored_names.h"

#include <algorithm>
#include <cctype>

#include "app/paths.h"

namespace ks {

namespace {

constexpr char kStoredSeparator = '\\';

bool isSeparator(char c) {
  return c == kStoredSeparator || c == '/';
}

bool hasDrive(std::string_view stored) {
  return stored.size() >= 2 && std::isalpha(static_cast<unsigned char>(stored[0])) != 0 &&
         stored[1] == ':';
}

bool hasParentComponent(std::string_view stored) {
  std::size_t start = 0;
  while (start <= stored.size()) {
    std::size_t end = start;
    while (end < stored.size() && !isSeparator(stored[end])) ++end;
    if (stored.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool isSafeStoredName(std::string_view stored) {
  if (stored.empty() || isSeparator(stored.front())) return false;
  return !hasDrive(stored) && !hasParentComponent(stored);
}

std::string storedNameToPath(std::string_view stored) {
  std::string path(stored);
  std::replace(path.begin(), path.end(), kStoredSeparator, kPathSeparator);
  return path;
}

std::string firstStoredFolder(std::string_view stored) {
  const std::size_t at = stored.find(kStoredSeparator);
  return at == std::string_view::npos ? std::string() : std::string(stored.substr(0, at));
}

}  // namespace ks
