#include "install/installation_record.h"

#include <algorithm>

#include "app/install_manifest.h"
#include "app/path_compare.h"
#include "app/paths.h"
#include "install/integration.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace ks {

namespace {

using SetupCopy = InstallationRecord::SetupCopy;

void writeValue(Registry& registry, RegistryRoot root, const char* key, const char* name,
                const std::string& value) {
  if (registry.createKey(root, key)) registry.writeValue(root, key, name, value);
}

// A fresh record for the installation folder; it goes on from the manifest
// of the registered installation when that is the same folder.
void beginRecord(SetupContext& context) {
  InstallationRecord& record = context.installation;
  record = InstallationRecord{};
  record.folder = context.state.installDir;
  Registry& registry = *context.platform.registry;
  std::string registered;
  if (registry.readValue(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue,
                         registered) &&
      samePath(*context.platform.fileSystem, registered, record.folder)) {
    readInstallManifest(registry, record.files);
  }
}

void addName(InstallationRecord& record, const std::string& name) {
  if (std::find(record.files.begin(), record.files.end(), name) == record.files.end()) {
    record.files.push_back(name);
  }
}

// The setup program beside the installation, where the uninstall entry
// points. A setup that runs from there is its own copy.
void makeSetupCopy(SetupContext& context) {
  InstallationRecord& record = context.installation;
  FileSystem& files = *context.platform.fileSystem;
  const SetupState& state = context.state;
  const std::string target = joinPath(record.folder, state.setupFileName);
  const bool made = !state.setupFileName.empty() && pathFits(files, target) &&
                    (samePath(files, state.setupPath, target) ||
                     files.copyFile(state.setupPath, record.folder, state.setupFileName));
  record.setupCopy = made ? SetupCopy::Made : SetupCopy::Failed;
  if (made) addName(record, state.setupFileName);
}

}  // namespace

bool installedAnything(const SetupContext& context) {
  return !context.installation.folder.empty();
}

void recordInstallation(SetupContext& context, const std::vector<std::string>& writtenFiles) {
  if (context.installation.folder != context.state.installDir) beginRecord(context);
  for (const std::string& name : writtenFiles) addName(context.installation, name);
  if (context.installation.setupCopy == SetupCopy::NotMade) makeSetupCopy(context);
  registerInstallation(context);
}

void registerInstallation(SetupContext& context) {
  const InstallationRecord& record = context.installation;
  if (!installedAnything(context)) return;
  Registry& registry = *context.platform.registry;
  writeValue(registry, RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue,
             record.folder);
  writeInstallManifest(registry, record.files);
  if (record.setupCopy != SetupCopy::Made) return;
  writeValue(registry, RegistryRoot::LocalMachine, kUninstallKey, "DisplayName", kDisplayName);
  writeValue(registry, RegistryRoot::LocalMachine, kUninstallKey, "UninstallString",
             uninstallCommand(context.state));
}

}  // namespace ks
