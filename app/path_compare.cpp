#include "app/path_compare.h"

#include "app/paths.h"
#include "platform/file_system.h"

namespace ks {

namespace {

// The path in the form two paths are compared in.
bool comparable(FileSystem& files, const std::string& path, std::string& form) {
  std::string canonical;
  if (!files.canonicalPath(path, canonical)) return false;
  form = files.caseFolded(canonical);
  return true;
}

}  // namespace

bool samePath(FileSystem& files, const std::string& a, const std::string& b) {
  std::string first;
  std::string second;
  return comparable(files, a, first) && comparable(files, b, second) && first == second;
}

bool pathIsWithin(FileSystem& files, const std::string& path, const std::string& folder) {
  std::string inner;
  std::string outer;
  if (!comparable(files, path, inner) || !comparable(files, folder, outer)) return false;
  if (inner == outer) return true;
  // A root keeps its separator; any other folder gets one.
  if (outer.back() != kPathSeparator) outer += kPathSeparator;
  return inner.compare(0, outer.size(), outer) == 0;
}

// Only a root is its own parent.
bool isFileSystemRoot(FileSystem& files, const std::string& folder) {
  return !folder.empty() && samePath(files, folder, joinPath(folder, ".."));
}

}  // namespace ks
