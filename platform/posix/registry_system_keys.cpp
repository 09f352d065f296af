#include "platform/posix/registry_system_keys.h"

#include <array>

#include "platform/posix/registry_names.h"

namespace ks::registry {

namespace {

constexpr std::array<std::string_view, 4> kCurrentVersionPath = {"SOFTWARE", "Microsoft", "Windows",
                                                                 "CurrentVersion"};
constexpr std::string_view kProgramFilesValue = "ProgramFilesDir";

bool onSystemPath(const std::vector<std::string>& parts) {
  if (parts.size() > kCurrentVersionPath.size()) return false;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!sameName(parts[i], kCurrentVersionPath[i])) return false;
  }
  return true;
}

}  // namespace

bool isSystemKey(RegistryRoot root, const std::vector<std::string>& parts) {
  if (parts.empty()) return true;
  return root == RegistryRoot::LocalMachine && onSystemPath(parts);
}

std::optional<std::string> systemSubkey(RegistryRoot root, const std::vector<std::string>& parts) {
  if (root != RegistryRoot::LocalMachine || !onSystemPath(parts) ||
      parts.size() == kCurrentVersionPath.size()) {
    return std::nullopt;
  }
  return std::string(kCurrentVersionPath[parts.size()]);
}

bool isProgramFilesValue(RegistryRoot root, const std::vector<std::string>& parts,
                         std::string_view name) {
  return root == RegistryRoot::LocalMachine && parts.size() == kCurrentVersionPath.size() &&
         onSystemPath(parts) && sameName(name, kProgramFilesValue);
}

}  // namespace ks::registry
