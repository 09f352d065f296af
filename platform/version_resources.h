#pragma once
// The resources of a program file the setup reads: its version resource, as
// one raw block (the VS_VERSIONINFO tree that GetFileVersionInfo hands out),
// and its first icon.

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
  // The first icon of the program file as an icon file (.ico bytes); false
  // when the file has none (or is no program file).
  virtual bool readFirstIcon(const std::string& path, std::vector<std::uint8_t>& iconFile) = 0;
};

}  // namespace ks
