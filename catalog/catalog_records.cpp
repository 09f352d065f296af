#include "catalog/catalog_records.h"

namespace ks {

std::string packageFileName(const Component& component) {
  const std::string& url = component.urls[0];
  const std::size_t slash = url.rfind('/');
  if (slash == std::string::npos) return {};
  return url.substr(slash + 1);
}

}  // namespace ks
