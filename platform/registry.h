#pragma once
// The key store: keys with subkeys and string values, as the setup uses them.
// Key paths are relative to a root and separated by backslashes, like
// "Software\Kestrova". Key and value names are found without regard to case.

#include <cstdint>
#include <string>

namespace ks {

enum class RegistryRoot { CurrentUser, LocalMachine };

class Registry {
 public:
  virtual ~Registry() = default;
  // True when the key exists and can be opened with full access.
  virtual bool openKey(RegistryRoot root, const std::string& path) = 0;
  // Creates the key and any missing keys above it; true when it exists afterwards.
  virtual bool createKey(RegistryRoot root, const std::string& path) = 0;
  // Reads a value of the key; false when the key or the value is missing.
  virtual bool readValue(RegistryRoot root, const std::string& path, const std::string& name,
                         std::string& value) = 0;
  // Writes a string value into an existing key; false when the key is missing.
  virtual bool writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                          const std::string& value) = 0;
  virtual bool deleteValue(RegistryRoot root, const std::string& path, const std::string& name) = 0;
  // Deletes the key with its values. On the NT family a key that still has
  // subkeys is not deleted (false); on the Windows 95 family it goes with
  // everything below it.
  virtual bool deleteKey(RegistryRoot root, const std::string& path) = 0;
  // Number of direct subkeys; false when the key is missing.
  virtual bool subkeyCount(RegistryRoot root, const std::string& path, std::uint32_t& count) = 0;
  // Name of the direct subkey at index (in a stable order); false past the end.
  virtual bool enumSubkey(RegistryRoot root, const std::string& path, std::uint32_t index,
                          std::string& name) = 0;
};

}  // namespace ks
