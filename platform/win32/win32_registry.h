#pragma once
// Registry on the Windows registry itself: HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE, string values as REG_SZ.

#include "platform/registry.h"

namespace ks {

class Win32Registry : public Registry {
 public:
  bool openKey(RegistryRoot root, const std::string& path) override;
  bool createKey(RegistryRoot root, const std::string& path) override;
  bool readValue(RegistryRoot root, const std::string& path, const std::string& name,
                 std::string& value) override;
  bool writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                  const std::string& value) override;
  bool deleteValue(RegistryRoot root, const std::string& path, const std::string& name) override;
  // RegDeleteKeyW: on the NT family a key with subkeys stays.
  bool deleteKey(RegistryRoot root, const std::string& path) override;
  bool subkeyCount(RegistryRoot root, const std::string& path, std::uint32_t& count) override;
  bool enumSubkey(RegistryRoot root, const std::string& path, std::uint32_t index,
                  std::string& name) override;
};

}  // namespace ks
