#pragma once
// VersionResources on VERSION.dll and the loader's resource functions: the
// block of GetFileVersionInfoW, and the first icon of the first icon group,
// put together as an icon file.

#include "platform/version_resources.h"

namespace ks {

class Win32VersionResources : public VersionResources {
 public:
  bool readVersionInfo(const std::string& path, std::vector<std::uint8_t>& block) override;
  bool readFirstIcon(const std::string& path, std::vector<std::uint8_t>& iconFile) override;
};

}  // namespace ks
