#pragma once
// The file step of uninstallation: what goes from the installation folder.

#include "app/uninstall.h"

namespace ks {

// Removes the installed files as uninstallApplication describes and notes in
// removal what stayed.
void removeInstalledFiles(SetupContext& context, PackageContents packageContents,
                          UninstallResult& removal);

}  // namespace ks
