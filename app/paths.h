#pragma once
// Joining and splitting of file paths. The core writes every path with
// kPathSeparator; cabinet stored names always use backslashes and URLs
// always use slashes.

#include <string>
#include <string_view>

namespace ks {

// The separator of the platform's paths ('\\' on Windows, '/' on Linux): the
// build sets it for the platform the ports are built for (KS_PATH_SEPARATOR,
// a character code, in platform/CMakeLists.txt).
inline constexpr char kPathSeparator = static_cast<char>(KS_PATH_SEPARATOR);

// folder + separator + name (the separator is not doubled when folder ends in one).
std::string joinPath(std::string_view folder, std::string_view name);

// Splits at the last separator: the text before it and the text after it.
// Without a separator the folder is empty and the name is the whole path.
struct SplitPath {
  std::string folder;
  std::string name;
};
SplitPath splitAtLastSeparator(std::string_view path, char separator = kPathSeparator);

// False for a relative name that could reach outside the folder it is
// joined to: an empty or absolute name, one with a drive ("C:"), or one with
// a ".." component (backslashes and slashes both count as separators).
bool staysInsideFolder(std::string_view name);

class FileSystem;

// True when the path is no longer than the platform accepts, counted in the
// platform's own units. A path too long is refused, never cut: cut, it would
// name another file.
bool pathFits(FileSystem& files, std::string_view path);

}  // namespace ks
