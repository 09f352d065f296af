#include "install/completion_copies.h"

#include "app/paths.h"
#include "catalog/version_catalog.h"
#include "platform/file_system.h"

namespace ks {

void copySetupFiles(SetupContext& context) {
  const SetupState& state = context.state;
  if (state.mode != SETUP_MODE_DOWNLOAD_ONLY) return;
  FileSystem& files = *context.platform.fileSystem;
  files.copyFile(state.setupPath, state.downloadDir, state.setupFileName);
  files.copyFile(joinPath(state.setupDir, kVersionInfoFileName), state.downloadDir,
                 kVersionInfoFileName);
}

}  // namespace ks
