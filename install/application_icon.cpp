#include "install/application_icon.h"

#include "platform/version_resources.h"

namespace ks {

std::vector<std::uint8_t> applicationIcon(SetupContext& context, const std::string& program) {
  std::vector<std::uint8_t> icon;
  if (!context.platform.versionResources->readFirstIcon(program, icon)) icon.clear();
  return icon;
}

}  // namespace ks
