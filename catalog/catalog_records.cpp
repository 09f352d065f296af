#include "catalog/catalog_records.h"

#include "app/paths.h"

namespace ks {

std::string packageFileName(const Component& component) {
  const std::string& url = component.urls[0];
  const std::size_t slash = url.rfind('/');
  if (slash == std::string::npos) return {};
  return url.substr(slash + 1);
}

std::uint64_t plausiblePackageBytes(const Component& component) {
  constexpr std::uint64_t kTimesDeclared = 16;
  constexpr std::uint64_t kSlackBytes = 1024 * 1024;
  constexpr std::uint64_t kBytesPerKb = 1024;
  if (component.sizeKb == 0) return 0;
  return kTimesDeclared * static_cast<std::uint64_t>(component.sizeKb) * kBytesPerKb + kSlackBytes;
}

bool makePackagePath(FileSystem& files, const std::string& folder, const Component& component,
                     std::string& path) {
  const std::string name = packageFileName(component);
  if (name.empty() || name == "." || name == ".." ||
      name.find(kPathSeparator) != std::string::npos || name.find('/') != std::string::npos) {
    return false;
  }
  std::string joined = joinPath(folder, name);
  if (!pathFits(files, joined)) return false;
  path = std::move(joined);
  return true;
}

}  // namespace ks
