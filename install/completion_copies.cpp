#include "install/completion_copies.h"

#include "app/paths.h"
#include "catalog/version_catalog.h"
#include "platform/file_system.h"

namespace ks {

void copySetupFiles(SetupContext& context) {
  const SetupState& state = context.state;
  FileSystem& files = *context.platform.fileSystem;
  const bool downloadOnly = state.mode == SETUP_MODE_DOWNLOAD_ONLY;
  if (state.mode != SETUP_MODE_INTERNET && state.mode != SETUP_MODE_LOCAL && !downloadOnly) {
    return;  // the page is reached only in the installing modes
  }
  const std::string& targetFolder = downloadOnly ? state.downloadDir : state.installDir;
  files.copyFile(state.setupPath, targetFolder, state.setupFileName);
  if (downloadOnly) {
    files.copyFile(joinPath(state.setupDir, kVersionInfoFileName), state.downloadDir,
                   kVersionInfoFileName);
  }
}

}  // namespace ks
