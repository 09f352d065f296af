// How PosixFileSystem sees paths: canonical forms, case and lengths.

#include <filesystem>
#include <system_error>

#include "platform/posix/posix_file_system.h"

namespace ks {

namespace {

// Linux names hold up to 4095 bytes, but the setup keeps its own rule of at
// most 259 characters, counted here in bytes of UTF-8.
constexpr std::size_t kLongestAcceptedPath = 259;

}  // namespace

// The part that exists is resolved by the kernel (symbolic links
// included); the rest is normalised as text.
bool PosixFileSystem::canonicalPath(const std::string& path, std::string& canonical) {
  namespace fs = std::filesystem;
  if (path.empty()) return false;
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error) return false;
  fs::path resolved = fs::weakly_canonical(absolute, error);
  if (error) return false;
  std::string text = resolved.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  canonical = std::move(text);
  return true;
}

std::string PosixFileSystem::caseFolded(const std::string& path) {
  return path;  // names differ by case
}

std::size_t PosixFileSystem::pathLength(const std::string& path) {
  return path.size();
}

std::size_t PosixFileSystem::maxPathLength() {
  return kLongestAcceptedPath;
}

}  // namespace ks
