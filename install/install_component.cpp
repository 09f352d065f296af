#include "install/install_component.h"

#include "app/paths.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "install/cabinet_extraction.h"
#include "install/installation_record.h"
#include "install/temporary_files.h"
#include "platform/file_system.h"
#include "platform/processes.h"

namespace ks {

namespace {

constexpr const char* kExtractingText = "Extracting ...";
constexpr const char* kSystemUpdateText = "Executing System Update";
constexpr int kSuccessExitCode = 0;

void showStatus(Component& component, const char* text) {
  if (component.notifyWindow) component.notifyWindow->setDlgItemText(kIdcDownloadStatus, text);
}

// The package's file name: the part of localPath after its last separator;
// "" when there is none.
std::string packageName(const Component& component) {
  const SplitPath split = splitAtLastSeparator(component.localPath);
  return component.localPath.find(kPathSeparator) == std::string::npos ? std::string() : split.name;
}

// Installed programs may be started; nothing else installed may.
void setProgramModes(SetupContext& context, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    context.platform.fileSystem->setProgramMode(context.state.installDir, name);
  }
}

bool copyPackage(SetupContext& context, const Component& component) {
  const std::string name = packageName(component);
  FileSystem& files = *context.platform.fileSystem;
  if (name.empty() || !pathFits(files, joinPath(context.state.installDir, name))) return false;
  removeStaleTemporaryFiles(files, context.state.installDir, "");
  if (!files.copyFile(component.localPath, context.state.installDir, name)) return false;
  setProgramModes(context, {name});
  recordInstallation(context, {name});
  return true;
}

// Files put in place before a later one failed are recorded all the same,
// so that uninstallation removes them.
bool extractPackage(SetupContext& context, Component& component, std::string* problem) {
  showStatus(component, kExtractingText);
  ExtractionReport report;
  const bool extracted = extractCabinet(*context.platform.fileSystem, component.localPath,
                                        context.state.installDir, &report);
  setProgramModes(context, report.writtenFiles);
  if (extracted || !report.writtenFiles.empty()) recordInstallation(context, report.writtenFiles);
  if (extracted) return true;
  if (report.bytesNeeded != 0 && problem != nullptr) {
    *problem = notEnoughSpaceText(report.bytesNeeded);
  }
  return false;
}

bool runPackage(SetupContext& context, const Component& component) {
  const std::string name = packageName(component);
  if (name.empty()) return false;
  int exitCode = -1;
  const bool ran = context.platform.processes->runAndWait(component.localPath, name, exitCode) &&
                   exitCode == kSuccessExitCode;
  if (ran) recordInstallation(context, {});
  return ran;
}

}  // namespace

bool installComponent(SetupContext& context, Component& component, std::string* problem) {
  switch (component.installMethod) {
    case INSTALL_METHOD_COPY:
      return copyPackage(context, component);
    case INSTALL_METHOD_CABINET:
      return extractPackage(context, component, problem);
    case INSTALL_METHOD_RUN:
      showStatus(component, kSystemUpdateText);
      return runPackage(context, component);
    default:
      return false;
  }
}

}  // namespace ks
