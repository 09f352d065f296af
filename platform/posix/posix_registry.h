#pragma once
// Registry on Linux: two key trees of folders and files.
//
//   HKEY_CURRENT_USER   $XDG_CONFIG_HOME/kestrova-setup/registry/
//   HKEY_LOCAL_MACHINE  $XDG_DATA_HOME/kestrova-setup/registry/
//
// Each key is a folder (its name encoded, see registry_names.h) holding its
// subkeys and a ".values" file (registry_values_file.h). Every change is made
// under the tree's lock (registry_lock.h) and replaces files atomically
// (registry_folders.h). As on the NT family, a key with subkeys can't be
// deleted.
//
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion always
// exists, as on Windows, and its value "ProgramFilesDir" is not stored: it
// always reads $HOME/.local/opt and can't be changed or deleted. The keys of
// that path can't be deleted either; writing another value into one of them
// creates its folders first.

#include <string>
#include <vector>

#include "platform/posix/registry_values_file.h"
#include "platform/registry.h"

namespace ks {

class PosixRegistry : public Registry {
 public:
  // Takes the folders from HOME and XDG_* as they are now.
  PosixRegistry();

  bool openKey(RegistryRoot root, const std::string& path) override;
  bool createKey(RegistryRoot root, const std::string& path) override;
  bool readValue(RegistryRoot root, const std::string& path, const std::string& name,
                 std::string& value) override;
  bool writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                  const std::string& value) override;
  bool deleteValue(RegistryRoot root, const std::string& path, const std::string& name) override;
  bool deleteKey(RegistryRoot root, const std::string& path) override;
  bool subkeyCount(RegistryRoot root, const std::string& path, std::uint32_t& count) override;
  bool enumSubkey(RegistryRoot root, const std::string& path, std::uint32_t index,
                  std::string& name) override;

  const std::string& treeFolder(RegistryRoot root) const;

 private:
  bool resolveKey(RegistryRoot root, const std::vector<std::string>& parts, bool create,
                  std::string& folder) const;
  // Under the tree's lock: the key's folder and its values.
  bool loadKey(RegistryRoot root, const std::vector<std::string>& parts, bool create,
               std::string& folder, std::vector<registry::RegistryValue>& values) const;
  bool listSubkeys(RegistryRoot root, const std::string& path, std::vector<std::string>& names);

  std::string currentUserFolder_;
  std::string localMachineFolder_;
  std::string programFilesFolder_;
};

}  // namespace ks
