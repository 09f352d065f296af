#pragma once
// The copies made when the Installation Complete page is created in
// download-only mode: the setup program and the version-info file go into
// the download folder, which then holds a complete set of local installation
// files. (An installation gets its setup copy with its first installed
// component: install/installation_record.h.) Failures are silent.

#include "app/setup_context.h"

namespace ks {

void copySetupFiles(SetupContext& context);

}  // namespace ks
