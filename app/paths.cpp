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

bool pathFits(FileSystem& files, std::string_view path) {
  return files.pathLength(std::string(path)) <= files.maxPathLength();
}

}  // namespace ks
