#include "wizard/folder_pages.h"

#include <array>
#include <cstdio>

#include "app/fixed_text.h"
#include "app/message_captions.h"
#include "app/paths.h"
#include "catalog/version_check.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/wizard_view.h"

namespace ks {

namespace {

constexpr const char* kFolderIsNull = "Folder is NULL.";
constexpr const char* kDirectoryNotFound = "Directory not found.";
constexpr const char* kInstallFolderEmpty = "Install folder path is empty!";
constexpr const char* kDownloadFolderEmpty = "Download folder path is empty!";
constexpr const char* kCloseApplication = "Please close Kestrova before you continue";
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

std::string formatWithFolder(const char* pattern, const std::string& folder) {
  char text[kMessageBytes];
  std::snprintf(text, sizeof text, pattern, folder.c_str());
  return text;
}

}  // namespace

std::string defaultSetupFolder(SetupContext& context) {
  char name[64];
  std::snprintf(name, sizeof name, kSetupFolderPattern, kProgramName);
  return fitText(joinPath(context.platform.systemInfo->defaultSetupRoot(), name), kMaxPathBytes);
}

// Local Archive Folder

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
  const char* problem = nullptr;
  if (state().localArchiveDir.empty()) {
    problem = kFolderIsNull;
  } else if (!pathExists(context(), state().localArchiveDir)) {
    problem = kDirectoryNotFound;
  }
  if (problem) {
    ask(problem, kErrorCaption, MessageIcon::Warning, MessageButtons::Ok);
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
      programFiles.size() < kMaxPathBytes) {
    s.installDir = programFiles + kPathSeparator;
  }
  s.installDir = fitText(s.installDir + kProgramName, kMaxPathBytes);
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
  return folderExistsOrCreated(state().downloadDir);
}

bool DestinationFoldersPage::folderExistsOrCreated(const std::string& folder) {
  if (pathExists(context(), folder)) return true;
  const std::string question = formatWithFolder(kAskCreateFolder, folder);
  if (ask(question.c_str(), kErrorCaption, MessageIcon::Warning, MessageButtons::YesNoCancel) !=
      MessageAnswer::Yes) {
    return false;
  }
  if (context().platform.fileSystem->createFolder(folder)) return true;
  const std::string failure = formatWithFolder(kCannotCreateFolder, folder);
  ask(failure.c_str(), kErrorCaption, MessageIcon::Error, MessageButtons::Ok);
  return false;
}

// The folders are compared byte for byte: case matters, and a trailing
// separator makes them differ.
bool DestinationFoldersPage::applicationRunsFrom(const std::string& folder) {
  std::string running;
  return context().platform.processes->runningApplicationFolder(running) && running == folder;
}

}  // namespace ks
