#include "app/paths.h"

#include "platform/file_system.h"

namespace ks {

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += name;
  return path;
}

SplitPath splitAtLastSeparator(std::string_view path, char separator) {
  const std::size_t at = path.rfind(separator);
  if (at == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, at)), std::string(path.substr(at + 1))};
}

namespace {

bool isAnySeparator(char c) {
  return c == '\\' || c == '/';
}

bool hasDrive(std::string_view name) {
  const auto first = static_cast<unsigned char>(name[0]);
  return name.size() >= 2 && ((first | 0x20) >= 'a' && (first | 0x20) <= 'z') && name[1] == ':';
}

bool hasParentComponent(std::string_view name) {
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !isAnySeparator(name[end])) ++end;
    if (name.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool staysInsideFolder(std::string_view name) {
  if (name.empty() || isAnySeparator(name.front())) return false;
  return !hasDrive(name) && !hasParentComponent(name);
}

bool pathFits(FileSystem& files, std::string_view path) {
  return files.pathLength(std::string(path)) <= files.maxPathLength();
}

}  // namespace ks
