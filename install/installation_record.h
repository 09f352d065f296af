#pragma once
// Registering what a run installed. After the first component that put
// anything into the installation folder, the setup program is copied beside
// the installation, "Install Directory" and the manifest are written, and the
// uninstall entry once the setup copy is there; every later installation
// keeps the manifest up to date. A run that installed nothing registers
// nothing, so a cancelled run is found and removed by a later uninstall, and
// a run where everything failed leaves no entry behind.

#include <string>
#include <vector>

#include "app/setup_context.h"

namespace ks {

// Records what a component's installation wrote (paths below the
// installation folder) and registers the installation. A component that
// installed without files to record (an update program) is recorded with
// none.
void recordInstallation(SetupContext& context, const std::vector<std::string>& writtenFiles);

// Writes the registration again as recorded; nothing while nothing is
// installed, and no uninstall entry without the setup copy.
void registerInstallation(SetupContext& context);

// True once this run installed anything.
bool installedAnything(const SetupContext& context);

}  // namespace ks
