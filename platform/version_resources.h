#pragma once
// The version resource of a program file, as one raw block (the VS_VERSIONINFO
// tree that GetFileVersionInfo hands out).

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

class VersionResources {
 public:
  virtual ~VersionResources() = default;
  // Reads the file's version information into block; false when the file has
  // none (or can't be read).
  virtual bool readVersionInfo(const std::string& path, std::vector<std::uint8_t>& block) = 0;
};

}  // namespace ks
