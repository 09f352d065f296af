#include "catalog/component_options_page.h"

#include <cstdint>
#include <cstdio>

#include "app/message_captions.h"
#include "app/paths.h"
#include "catalog/version_catalog.h"
#include "catalog/version_check.h"
#include "download/download_job.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "download/retry_question.h"
#include "platform/wizard_view.h"

namespace ks {

namespace {

constexpr const char* kDownloadingVersionInfo = "Downloading Version Informations...";
constexpr const char* kCorruptVersionInfo = "Version information file is corrupt.";
constexpr const char* kNotInstalled = "Not Installed";
constexpr const char* kRequiredNotLocal =
    "A required installation package isn't locally available. Do you want to mark it for "
    "download?";
constexpr const char* kSelectedNotLocal =
    "The component you want to install is not locally available. Do you want to select it for "
    "download?";

// Sizes below this many kilobytes are shown in kilobytes ("812 KB"); larger
// ones, which only a sum of several huge packages reaches, in gigabytes.
constexpr std::uint64_t kLargestKilobyteText = 9999999;
constexpr double kKilobytesPerGigabyte = 1024.0 * 1024.0;

std::string kilobytes(std::uint64_t size) {
  char text[32];
  if (size <= kLargestKilobyteText) {
    std::snprintf(text, sizeof text, "%llu KB", static_cast<unsigned long long>(size));
  } else {
    std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(size) / kKilobytesPerGigabyte);
  }
  return text;
}

const std::array<int, 3> kVersionFields = {kIdcInstalledVersion, kIdcAvailableVersion,
                                           kIdcRequiredVersion};

}  // namespace

ComponentOptionsPage::ComponentOptionsPage(SetupContext& context)
    : HeaderPage(context, kComponentOptionsTemplate) {}

ComponentOptionsPage::~ComponentOptionsPage() = default;

void ComponentOptionsPage::onInit() {
  HeaderPage::onInit();
  view().setTextStyle(kIdcAvailableLabel, PageView::TextStyle::BlueText);
  view().setTextStyle(kIdcRequiredLabel, PageView::TextStyle::RedText);
  view().setTextStyle(kIdcVersionStatus, PageView::TextStyle::HeaderText);
  view().setTreeStateImages(kIdcComponentTree, kBitmapTickBoxes);
  view().setProgressRange(kIdcDownloadProgressBar, 0, kProgressBarRange);
  window_ = std::make_shared<PageNotifyWindow>(
      *context().platform.ui, view(),
      [this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
        onDownloadMessage(message, wParam, lParam);
      });
}

void ComponentOptionsPage::onDestroy() {
  if (window_) window_->close();
}

ActivateAnswer ComponentOptionsPage::onActivate(Direction) {
  wizard().postButtons(WizardButton::kBack);
  if (state().catalogLoaded) {
    if (anySelected()) wizard().postButtons(WizardButton::kBack | WizardButton::kNext);
    return ActivateAnswer::Show;
  }
  startFetch();
  return ActivateAnswer::Show;
}

void ComponentOptionsPage::onLeave() {
  if (fetchRunning_) fetchAbandoned_ = true;
  fetchWanted_ = false;
}

// The version-info file is stored where the setup program lies, or in the
// local archive folder in local mode.
void ComponentOptionsPage::startFetch() {
  view().clearTree(kIdcComponentTree);
  items_.clear();
  view().show(kIdcVersionStatus, true);
  view().setText(kIdcVersionStatus, "");
  if (fetchRunning_) {
    // The worker of a fetch the user left behind is still under way: this
    // one starts when it has ended.
    fetchWanted_ = true;
    return;
  }
  Component& job = context().versionInfoJob;
  job = Component{};
  job.urls[0] = versionInfoUrl(context().versionServers.primary);
  job.urls[1] = versionInfoUrl(context().versionServers.fallback);
  job.urlCount = 2;
  // Never more than the catalog reader accepts.
  job.downloadLimit = kMaxVersionFileBytes;
  const std::string& folder =
      state().mode == SETUP_MODE_LOCAL ? state().localArchiveDir : state().setupDir;
  std::string fileName = packageFileName(job);
  if (fileName.empty()) fileName = kVersionInfoFileName;
  job.localPath = joinPath(folder, fileName);
  if (state().mode == SETUP_MODE_LOCAL && pathExists(context(), job.localPath)) {
    onArrival();
    return;
  }
  job.download = 1;
  job.urlIndex = state().primarySite;
  job.notifyWindow = window_.get();
  // No texts: the status line keeps its own; the bar under it moves.
  job.statusCallback = downloadBarCallback;
  view().setProgressPosition(kIdcDownloadProgressBar, 0);
  view().show(kIdcDownloadProgressBar, true);
  startWorker();
}

void ComponentOptionsPage::startWorker() {
  fetchRunning_ = true;
  fetchAbandoned_ = false;
  if (!startDownloadWorker(context().versionInfoJob, state(), context().platform)) {
    fetchRunning_ = false;
  }
}

void ComponentOptionsPage::onDownloadMessage(unsigned message, std::uintptr_t wParam,
                                             std::intptr_t lParam) {
  if (message == WM_DOWNLOAD_BEGIN) {
    if (fetchAbandoned_) return;
    view().setWaitCursor(true);
    view().setText(kIdcVersionStatus, kDownloadingVersionInfo);
    return;
  }
  if (message != WM_DOWNLOAD_END) return;
  view().setWaitCursor(false);
  fetchRunning_ = false;
  if (fetchAbandoned_) {
    fetchAbandoned_ = false;
    if (fetchWanted_) {
      fetchWanted_ = false;
      startFetch();
    }
    return;
  }
  if (wParam == 1) {
    onArrival();
  } else {
    onFailure(lParam);
  }
}

void ComponentOptionsPage::onFailure(std::intptr_t cause) {
  Component& job = context().versionInfoJob;
  if (job.urlIndex >= 0 && job.urlIndex < kMaxUrls) job.urlFailed[job.urlIndex] = 1;
  for (int i = 0; i < job.urlCount; ++i) {
    if (!job.urlFailed[i]) {
      job.urlIndex = i;
      startWorker();
      return;
    }
  }
  if (askRetryDownload(context(), cause)) {
    job.urlIndex = state().primarySite;
    job.urlFailed = {};
    startWorker();
    return;
  }
  view().setText(kIdcVersionStatus, kVersionInfoAborted);
  view().show(kIdcDownloadProgressBar, false);
}

// The page's close request after the corrupt-file message does not end the
// wizard: the page shows what was loaded, and Back or Cancel remain.
void ComponentOptionsPage::onArrival() {
  state().catalogLoaded = 1;
  view().show(kIdcVersionStatus, false);
  view().show(kIdcDownloadProgressBar, false);
  if (!loadVersionCatalog(context(), context().versionInfoJob.localPath)) {
    MessageBoxRequest corrupt{kCorruptVersionInfo, kErrorCaption, MessageIcon::Error,
                              MessageButtons::Ok};
    corrupt.owned = false;  // owned by the setup's owner window, not the page
    context().platform.dialogs->messageBox(corrupt);
  }
  wizard().postButtons(WizardButton::kBack);
  VersionCatalog& catalog = context().catalog;
  for (int i = 0; i < catalog.componentCount; ++i) preselect(*catalog.components[i]);
  showSelectionState();
  buildComponentTree();
}

void ComponentOptionsPage::preselect(Component& component) {
  switch (state().mode) {
    case SETUP_MODE_LOCAL: {
      std::string path;
      component.localPath.clear();
      if (makePackagePath(*context().platform.fileSystem, state().localArchiveDir, component, path))
        component.localPath = path;
      component.locallyAvailable =
          !component.localPath.empty() && pathExists(context(), component.localPath);
      component.install = 1;
      break;
    }
    case SETUP_MODE_DOWNLOAD_ONLY:
      component.download = 1;
      break;
    case SETUP_MODE_INTERNET:
      component.install = 1;
      component.download = 1;
      break;
    default:
      break;
  }
  if (!versionIsBelow(component.installedVersion, component.requiredVersion)) return;
  component.required = 1;
  if (!component.unavailableReason.empty()) return;  // never ticked, however required
  component.selected = 1;
  if (state().mode != SETUP_MODE_LOCAL || component.locallyAvailable) return;
  if (ask(kRequiredNotLocal, component.title.c_str(), MessageIcon::Warning,
          MessageButtons::YesNo) == MessageAnswer::Yes) {
    component.download = 1;
  } else {
    component.selected = 0;
  }
}

void ComponentOptionsPage::buildComponentTree() {
  PageView& v = view();
  VersionCatalog& catalog = context().catalog;
  v.clearTree(kIdcComponentTree);
  items_.clear();
  for (int g = 0; g < catalog.groupCount; ++g) {
    ComponentGroup& group = catalog.groups[static_cast<std::size_t>(g)];
    group.treeItem = v.addTreeItem(kIdcComponentTree, 0, group.name, true, 0);
    for (int i = 0; i < catalog.componentCount; ++i) {
      Component& component = *catalog.components[static_cast<std::size_t>(i)];
      if (component.groupIndex != g) continue;
      const std::uintptr_t item =
          v.addTreeItem(kIdcComponentTree, group.treeItem, component.title, false,
                        component.selected ? kStateTicked : kStateUnticked);
      items_[item] = &component;
      const PageView::ItemColour colour = component.required ? PageView::ItemColour::Red
                                          : component.locallyAvailable
                                              ? PageView::ItemColour::Blue
                                              : PageView::ItemColour::Default;
      v.setTreeItemColour(kIdcComponentTree, item, colour);
    }
  }
  for (int g = catalog.groupCount - 1; g >= 0; --g) {
    v.expandTreeItem(kIdcComponentTree, catalog.groups[static_cast<std::size_t>(g)].treeItem);
  }
}

bool ComponentOptionsPage::anySelected() const {
  const VersionCatalog& catalog = const_cast<ComponentOptionsPage*>(this)->context().catalog;
  for (int i = 0; i < catalog.componentCount; ++i) {
    if (catalog.components[static_cast<std::size_t>(i)]->selected) return true;
  }
  return false;
}

// Next is allowed while something is ticked; the download size sums the
// ticked packages.
void ComponentOptionsPage::showSelectionState() {
  const VersionCatalog& catalog = context().catalog;
  std::uint64_t sum = 0;  // 20 sizes of up to 4 G kilobytes each
  for (int i = 0; i < catalog.componentCount; ++i) {
    const Component& component = *catalog.components[static_cast<std::size_t>(i)];
    if (component.selected) sum += component.sizeKb;
  }
  if (anySelected()) wizard().postButtons(WizardButton::kBack | WizardButton::kNext);
  view().setText(kIdcDownloadSize, kilobytes(sum));
}

void ComponentOptionsPage::onTreeStateClick(int, std::uintptr_t item) {
  auto found = items_.find(item);
  if (found == items_.end()) return;  // groups have no tick box
  Component& component = *found->second;
  if (!component.selected && !component.unavailableReason.empty()) {
    ask(component.unavailableReason.c_str(), component.title.c_str(), MessageIcon::Error,
        MessageButtons::Ok);
    return;
  }
  component.selected = component.selected ? 0 : 1;
  if (state().mode == SETUP_MODE_LOCAL && component.selected && !component.locallyAvailable) {
    if (ask(kSelectedNotLocal, component.title.c_str(), MessageIcon::Warning,
            MessageButtons::YesNo) == MessageAnswer::Yes) {
      component.download = 1;
    } else {
      component.selected = 0;
    }
  }
  view().setTreeItemStateImage(kIdcComponentTree, item,
                               component.selected ? kStateTicked : kStateUnticked);
  wizard().postButtons(WizardButton::kBack);
  showSelectionState();
}

void ComponentOptionsPage::onTreeSelection(int, std::uintptr_t item) {
  for (int field : kVersionFields) {
    view().setText(field, "");
    view().show(field, false);
  }
  view().setText(kIdcPackageSize, "");
  view().setText(kIdcDescription, "");
  auto found = items_.find(item);
  if (found == items_.end()) return;
  const Component& component = *found->second;
  view().setText(kIdcInstalledVersion,
                 component.installedVersion.empty() ? kNotInstalled : component.installedVersion);
  view().setText(kIdcAvailableVersion, component.availableVersion);
  view().show(kIdcInstalledVersion, true);
  view().show(kIdcAvailableVersion, true);
  if (!component.requiredVersion.empty()) {
    view().setText(kIdcRequiredVersion, component.requiredVersion);
    view().show(kIdcRequiredVersion, true);
  }
  if (component.sizeKb != 0) view().setText(kIdcPackageSize, kilobytes(component.sizeKb));
  view().setText(kIdcDescription, component.unavailableReason.empty()
                                      ? component.description
                                      : component.unavailableReason);
}

}  // namespace ks
