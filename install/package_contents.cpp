#include "install/package_contents.h"

#include "app/paths.h"
#include "install/cabinet_extraction.h"
#include "install/install_component.h"

namespace ks {

bool packageContents(SetupContext& context, const Component& component,
                     const std::string& packagePath, std::vector<std::string>& names) {
  const std::string& installDir = context.state.installDir;
  switch (component.installMethod) {
    case INSTALL_METHOD_COPY:
      names.push_back(splitAtLastSeparator(packagePath).name);
      return true;
    case INSTALL_METHOD_CABINET: {
      std::vector<std::string> paths;
      if (!listCabinet(*context.platform.fileSystem, packagePath, installDir, paths)) return false;
      names.insert(names.end(), paths.begin(), paths.end());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ks
