#include "app/install_manifest.h"

#include <cstdio>

#include "app/paths.h"
#include "platform/registry.h"

namespace ks {

namespace {

constexpr char kNameSeparator = '\n';
constexpr int kMaxParts = 9999;

std::string partName(int number) {
  char name[16];
  std::snprintf(name, sizeof name, "Files%.2d", number);
  return name;
}

// The names in parts of at most kManifestPartBytes bytes each.
std::vector<std::string> joinIntoParts(const std::vector<std::string>& names) {
  std::vector<std::string> parts;
  for (const std::string& name : names) {
    if (name.empty() || name.find(kNameSeparator) != std::string::npos) continue;
    if (parts.empty() || parts.back().size() + 1 + name.size() > kManifestPartBytes) {
      parts.emplace_back();
    } else {
      parts.back() += kNameSeparator;
    }
    parts.back() += name;
  }
  return parts;
}

}  // namespace

bool readInstallManifest(Registry& registry, std::vector<std::string>& names) {
  if (!registry.openKey(RegistryRoot::CurrentUser, kManifestKey)) return false;
  names.clear();
  std::string part;
  for (int number = 1; number <= kMaxParts; ++number) {
    if (!registry.readValue(RegistryRoot::CurrentUser, kManifestKey, partName(number), part)) {
      break;
    }
    for (std::size_t start = 0; start < part.size();) {
      const std::size_t end = std::min(part.find(kNameSeparator, start), part.size());
      if (end > start) names.push_back(part.substr(start, end - start));
      start = end + 1;
    }
  }
  return true;
}

bool writeInstallManifest(Registry& registry, const std::vector<std::string>& names) {
  if (!registry.createKey(RegistryRoot::CurrentUser, kManifestKey)) return false;
  const std::vector<std::string> parts = joinIntoParts(names);
  int number = 1;
  for (const std::string& part : parts) {
    const std::string name = partName(number++);
    std::string stored;
    if (registry.readValue(RegistryRoot::CurrentUser, kManifestKey, name, stored) &&
        stored == part) {
      continue;
    }
    if (!registry.writeValue(RegistryRoot::CurrentUser, kManifestKey, name, part)) return false;
  }
  // Parts of a longer manifest recorded before.
  while (number <= kMaxParts &&
         registry.deleteValue(RegistryRoot::CurrentUser, kManifestKey, partName(number))) {
    ++number;
  }
  return true;
}

}  // namespace ks
