#pragma once
// The copies made when the Installation Complete page is created: the setup
// program goes beside the installation (where the uninstall entry and the
// Uninstall shortcut point) or, when only downloading, into the download
// folder with the version-info file, which then holds a complete set of
// local installation files. Failures are silent.

#include "app/setup_context.h"

namespace ks {

void copySetupFiles(SetupContext& context);

}  // namespace ks
