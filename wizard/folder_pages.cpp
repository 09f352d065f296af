#include "wizard/folder_pages.h"

#include <array>
#include <cstdio>

#include "app/create_folders.h"
#include "app/fixed_text.h"
#include "app/message_captions.h"
#include "app/path_compare.h"
#include "app/paths.h"
#include "app/protected_folders.h"
#include "catalog/version_check.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/wizard_view.h"

namespace ks {

namespace {

constexpr const char* kFolderIsNull = "Folder is NULL.";
constexpr const char* kCreateFolderCaption = "Create Folder";
constexpr const char* kDirectoryNotFound = "Directory not found.";
constexpr const char* kInstallFolderEmpty = "Install folder path is empty!";
constexpr const char* kDownloadFolderEmpty = "Download folder path is empty!";
constexpr const char* kCloseApplication = "Please close Kestrova before you continue";
constexpr const char* kPathTooLong =
    "The folder path is too long: at most %zu characters fit.\nPlease choose a folder with a "
    "shorter path.";
constexpr const char* kProtectedInstallFolder =
    "Setup can't install into '%s': it is the root of a drive, a system folder, your home "
    "folder or a folder that holds it.\nPlease choose a folder of its own, for example a new "
    "folder inside it.";
constexpr const char* kProgramName = "Kestrova";
constexpr const char* kSetupFolderPattern = "%s Setup";
constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kProgramFilesValue = "ProgramFilesDir";
// String-table texts are formatted into 512-byte buffers.
constexpr std::size_t kMessageBytes = 512;

constexpr std::array<int, 4> kDownloadGroup = {kIdcDownloadExplanation, kIdcDownloadLabel,
                                               kIdcDownloadEdit, kIdcBrowseDownload};
constexpr std::array<int, 4> kInstallGroup = {kIdcInstallExplanation, kIdcInstallLabel,
                                              kIdcInstallEdit, kIdcBrowseInstall};

// The pattern's one argument filled in; the whole message as its buffer
// holds it.
template <typename Argument>
std::string formatMessage(const char* pattern, Argument argument) {
  const int length = std::snprintf(nullptr, 0, pattern, argument);
  if (length < 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, argument);
  return fitText(text, kMessageBytes);
}

std::string formatWithFolder(const char* pattern, const std::string& folder) {
  return formatMessage(pattern, folder.c_str());
}

}  // namespace

std::string folderPathRefusal(SetupContext& context, const std::string& folder) {
  FileSystem& files = *context.platform.fileSystem;
  if (pathFits(files, folder)) return {};
  return formatMessage(kPathTooLong, files.maxPathLength());
}

std::string installFolderRefusal(SetupContext& context, const std::string& folder) {
  std::string refusal = folderPathRefusal(context, folder);
  if (refusal.empty() && isProtectedFolder(context, folder)) {
    refusal = formatWithFolder(kProtectedInstallFolder, folder);
  }
  return refusal;
}

std::string defaultSetupFolder(SetupContext& context) {
  char name[64];
  std::snprintf(name, sizeof name, kSetupFolderPattern, kProgramName);
  return joinPath(context.platform.systemInfo->defaultSetupRoot(), name);
}

// Local Archive Folder

namespace {

std::string archiveFolderProblem(SetupContext& context, const std::string& folder) {
  if (folder.empty()) return kFolderIsNull;
  if (std::string refusal = folderPathRefusal(context, folder); !refusal.empty()) return refusal;
  if (!pathExists(context, folder)) return kDirectoryNotFound;
  return {};
}

}  // namespace

ActivateAnswer LocalArchivePage::onActivate(Direction) {
  if (state().mode != SETUP_MODE_LOCAL) return ActivateAnswer::Skip;
  if (state().localArchiveDir.empty()) state().localArchiveDir = defaultSetupFolder(context());
  view().setText(kIdcLocalArchiveEdit, state().localArchiveDir);
  wizard().postButtons(WizardButton::kBack | WizardButton::kNext);
  return ActivateAnswer::Show;
}

void LocalArchivePage::onCommand(int controlId) {
  if (controlId != kIdcBrowseLocalArchive) return;
  browseForFolder(state().localArchiveDir);
  view().setText(kIdcLocalArchiveEdit, state().localArchiveDir);
}

NextAnswer LocalArchivePage::onNext() {
  state().localArchiveDir = editText(kIdcLocalArchiveEdit);
  if (const std::string problem = archiveFolderProblem(context(), state().localArchiveDir);
      !problem.empty()) {
    ask(problem.c_str(), kErrorCaption, MessageIcon::Warning, MessageButtons::Ok);
    return NextAnswer::Stay;
  }
  state().downloadDir = state().localArchiveDir;
  return NextAnswer::Proceed;
}

// Destination Folders

ActivateAnswer DestinationFoldersPage::onActivate(Direction) {
  enableGroups();
  proposeFolders();
  view().setText(kIdcInstallEdit, state().installDir);
  view().setText(kIdcDownloadEdit, state().downloadDir);
  wizard().postButtons(WizardButton::kBack | WizardButton::kNext);
  return ActivateAnswer::Show;
}

void DestinationFoldersPage::enableGroups() {
  const SetupMode mode = state().mode;
  const bool download = mode == SETUP_MODE_INTERNET || mode == SETUP_MODE_DOWNLOAD_ONLY;
  const bool install = mode == SETUP_MODE_INTERNET || mode == SETUP_MODE_LOCAL;
  for (int control : kDownloadGroup) view().enable(control, download);
  for (int control : kInstallGroup) view().enable(control, install);
}

// Defaults apply only while a field is empty, so a folder chosen once
// survives Back and Next.
void DestinationFoldersPage::proposeFolders() {
  SetupState& s = state();
  if (s.downloadDir.empty()) {
    if (s.mode == SETUP_MODE_DOWNLOAD_ONLY) s.downloadDir = defaultSetupFolder(context());
    if (s.mode == SETUP_MODE_INTERNET) s.downloadDir = s.setupDir;
  }
  if (!s.installDir.empty()) return;
  Registry& registry = *context().platform.registry;
  if (!registry.openKey(RegistryRoot::LocalMachine, kCurrentVersionKey)) return;
  std::string programFiles;
  if (registry.readValue(RegistryRoot::LocalMachine, kCurrentVersionKey, kProgramFilesValue,
                         programFiles) &&
      pathFits(*context().platform.fileSystem, programFiles)) {
    s.installDir = programFiles + kPathSeparator;
  }
  // A proposal too long for the platform is shown whole; Next refuses it.
  s.installDir += kProgramName;
}

void DestinationFoldersPage::onCommand(int controlId) {
  if (controlId == kIdcBrowseInstall) {
    browseForFolder(state().installDir);
    view().setText(kIdcInstallEdit, state().installDir);
  } else if (controlId == kIdcBrowseDownload) {
    browseForFolder(state().downloadDir);
    view().setText(kIdcDownloadEdit, state().downloadDir);
  }
}

NextAnswer DestinationFoldersPage::onNext() {
  const SetupMode mode = state().mode;
  if ((mode == SETUP_MODE_INTERNET || mode == SETUP_MODE_LOCAL) && !installFolderAccepted()) {
    return NextAnswer::Stay;
  }
  if ((mode == SETUP_MODE_INTERNET || mode == SETUP_MODE_DOWNLOAD_ONLY) &&
      !downloadFolderAccepted()) {
    return NextAnswer::Stay;
  }
  return NextAnswer::Proceed;
}

bool DestinationFoldersPage::installFolderAccepted() {
  state().installDir = editText(kIdcInstallEdit);
  if (state().installDir.empty()) {
    ask(kInstallFolderEmpty, kErrorCaption, MessageIcon::Error, MessageButtons::Ok);
    return false;
  }
  // Refused before anything is created or written.
  if (const std::string refusal = installFolderRefusal(context(), state().installDir);
      !refusal.empty()) {
    ask(refusal.c_str(), kErrorCaption, MessageIcon::Error, MessageButtons::Ok);
    return false;
  }
  if (!folderExistsOrCreated(state().installDir)) return false;
  if (applicationRunsFrom(state().installDir)) {
    ask(kCloseApplication, kErrorCaption, MessageIcon::Error, MessageButtons::Ok);
    return false;
  }
  return true;
}

bool DestinationFoldersPage::downloadFolderAccepted() {
  state().downloadDir = editText(kIdcDownloadEdit);
  if (state().downloadDir.empty()) {
    ask(kDownloadFolderEmpty, kErrorCaption, MessageIcon::Error, MessageButtons::Ok);
    return false;
  }
  if (const std::string refusal = folderPathRefusal(context(), state().downloadDir);
      !refusal.empty()) {
    ask(refusal.c_str(), kErrorCaption, MessageIcon::Error, MessageButtons::Ok);
    return false;
  }
  return folderExistsOrCreated(state().downloadDir);
}

bool DestinationFoldersPage::folderExistsOrCreated(const std::string& folder) {
  if (pathExists(context(), folder)) return true;
  const std::string question = formatWithFolder(kAskCreateFolder, folder);
  if (ask(question.c_str(), kCreateFolderCaption, MessageIcon::Question,
          MessageButtons::YesNoCancel) != MessageAnswer::Yes) {
    return false;
  }
  if (createFolderWithParents(*context().platform.fileSystem, folder)) return true;
  const std::string failure = formatWithFolder(kCannotCreateFolder, folder);
  ask(failure.c_str(), kErrorCaption, MessageIcon::Error, MessageButtons::Ok);
  return false;
}

// The folders are compared as the file system sees them: another spelling
// of the same folder (case on Windows, a trailing separator, a link) is the
// same folder.
bool DestinationFoldersPage::applicationRunsFrom(const std::string& folder) {
  std::string running;
  return context().platform.processes->runningApplicationFolder(running) &&
         samePath(*context().platform.fileSystem, running, folder);
}

}  // namespace ks
