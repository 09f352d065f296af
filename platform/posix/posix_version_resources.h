#pragma once
// VersionResources on Linux: reads the version resource and the first icon of
// a Windows program file with the portable PE reader, taking from the file
// only the headers and the ranges they point at.

#include "platform/version_resources.h"

namespace ks {

class PosixVersionResources : public VersionResources {
 public:
  bool readVersionInfo(const std::string& path, std::vector<std::uint8_t>& block) override;
  bool readFirstIcon(const std::string& path, std::vector<std::uint8_t>& iconFile) override;
};

}  // namespace ks
