#include "app/start_up.h"

#include "app/fixed_text.h"
#include "app/message_captions.h"
#include "app/paths.h"
#include "catalog/version_catalog.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace ks {

namespace {

constexpr const char* kWin32sRefusal =
    "This Program can only run on Windows95 or WindowsNT 4.0 and higher.";

// The stored folder of a previous installation, or "" when there is none.
// A value too long for the platform is a failed read, not a cut path:
// uninstallation must never be pointed at a folder nobody chose.
std::string previousInstallDir(Registry& registry, FileSystem& files) {
  if (!registry.openKey(RegistryRoot::CurrentUser, kProductKey)) return {};
  std::string value;
  if (!registry.readValue(RegistryRoot::CurrentUser, kProductKey, kInstallDirectoryValue, value)) {
    return {};
  }
  value = fitText(value, value.size() + 1);  // a stored value ends at its first zero
  if (!pathFits(files, value)) return {};
  if (!value.empty() && value.back() == kPathSeparator) value.pop_back();
  return value;
}

// The setup keeps the version-info file and the packages it downloads beside
// itself; where it may not write there (installed among the system's
// programs, run from a read-only medium) they go to the system's cache
// folder for it, when there is one.
std::string downloadsFolder(SetupContext& context, const std::string& programFolder) {
  if (context.platform.fileSystem->canCreateFiles(programFolder)) return programFolder;
  const std::string cache = context.platform.systemInfo->downloadCacheFolder();
  return cache.empty() ? programFolder : cache;
}

int runUninstallRoad(SetupContext& context, const SetupRoads& roads) {
  Dialogs& dialogs = *context.platform.dialogs;
  const MessageAnswer answer = dialogs.messageBox(
      {kUninstallQuestion, kUninstallCaption, MessageIcon::Warning, MessageButtons::YesNo});
  if (answer != MessageAnswer::Yes) return kExitUninstalled;
  const UninstallResult removal = roads.uninstallApplication(context);
  dialogs.messageBox({uninstallClosingMessage(removal, context.state.installDir), kUninstallCaption,
                      MessageIcon::Information, MessageButtons::Ok});
  return uninstallComplete(removal) ? kExitUninstalled : kExitUninstallIncomplete;
}

}  // namespace

void initSetupState(SetupContext& context) {
  SetupState& state = context.state;
  SystemInfo& system = *context.platform.systemInfo;
  freeVersionCatalog(context.catalog);
  context.catalog = VersionCatalog{};
  context.installQueue = {};
  context.installQueueCount = 0;
  context.installQueuePosition = 0;

  // Paths the system gives are taken whole: cut, they would name another
  // file. Where one is joined into a path too long, that use refuses it.
  state.setupPath = system.ownProgramPath();
  const SplitPath split = splitAtLastSeparator(state.setupPath);
  state.setupDir = downloadsFolder(context, split.folder);
  state.setupFileName = split.name;
  state.windowsDir = system.windowsDirectory();
  state.systemDir = system.systemDirectory();
  state.installDir = previousInstallDir(*context.platform.registry, *context.platform.fileSystem);
}

int wizardExitCode(const SetupContext& context) {
  if (context.cancelledByUser) return kExitCancelled;
  if (context.state.mode == SETUP_MODE_NONE) {
    return context.uninstallIncomplete ? kExitIncomplete : kExitCompleted;
  }
  if (context.installQueueCount == 0) return kExitIncomplete;
  for (int i = 0; i < context.installQueueCount; ++i) {
    if (context.installQueueOutcome[static_cast<std::size_t>(i)] != ComponentOutcome::Done) {
      return kExitIncomplete;
    }
  }
  const bool setupCopyFailed =
      context.installation.setupCopy == InstallationRecord::SetupCopy::Failed;
  return setupCopyFailed ? kExitIncomplete : kExitCompleted;
}

bool asksForUninstall(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == kUninstallArgument) return true;
  }
  return false;
}

int runSetup(SetupContext& context, const std::vector<std::string>& arguments,
             const SetupRoads& roads) {
  if (context.platform.systemInfo->platformId() == kPlatformWin32s) {
    MessageBoxRequest refusal{kWin32sRefusal, kErrorCaption, MessageIcon::Error,
                              MessageButtons::Ok};
    refusal.owned = false;
    context.platform.dialogs->messageBox(refusal);
    return 0;
  }
  initSetupState(context);
  if (asksForUninstall(arguments)) return runUninstallRoad(context, roads);
  const int exitCode = roads.runWizard(context);
  freeVersionCatalog(context.catalog);
  if (roads.drainMessages) roads.drainMessages();
  return exitCode;
}

}  // namespace ks
