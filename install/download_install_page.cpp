#include "install/download_install_page.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/paths.h"
#include "download/download_job.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "download/file_digest.h"
#include "download/queue_progress.h"
#include "download/retry_question.h"
#include "download/target_file.h"
#include "download/transfer_cancel.h"
#include "platform/file_system.h"
#include "platform/wizard_view.h"

namespace ks {

namespace {

constexpr const char* kDownloadingText = "Downloading ...";
constexpr const char* kDownloadedText = "Download successfull.";
constexpr const char* kInstalledText = "Install successfull.";
constexpr const char* kInstallFailedText = "Install failed.";

constexpr std::uint64_t kBytesPerKilobyte = 1024;
constexpr std::uint32_t kCountingBlockBytes = 64 * 1024;

ComponentOutcome outcomeOf(int rowImage) {
  return rowImage == kRowDone ? ComponentOutcome::Done : ComponentOutcome::Failed;
}

std::uint64_t catalogBytes(const Component& component) {
  return std::uint64_t{component.sizeKb} * kBytesPerKilobyte;
}

// The bytes of a package as it lies in the download folder; 0 when it can't
// be read.
std::uint64_t packageBytes(FileSystem& files, const std::string& path) {
  const std::int32_t handle = files.openForReading(path);
  if (handle < 0) return 0;
  std::array<char, kCountingBlockBytes> block;
  std::uint64_t bytes = 0;
  for (std::int32_t got; (got = files.readHandle(handle, block.data(), kCountingBlockBytes)) > 0;)
    bytes += static_cast<std::uint64_t>(got);
  files.closeHandle(handle);
  return bytes;
}

}  // namespace

DownloadInstallPage::DownloadInstallPage(SetupContext& context)
    : HeaderPage(context, kDownloadInstallTemplate) {}

// An installation still running when the page goes is waited for: it ends
// with its files recorded, so a later uninstallation finds them.
DownloadInstallPage::~DownloadInstallPage() {
  onDestroy();
}

// The progress bar is shown and follows the bytes of the current package.
void DownloadInstallPage::onInit() {
  HeaderPage::onInit();
  view().setListStateImages(kIdcQueueList, kBitmapRowStates);
  view().setProgressRange(kIdcDownloadProgressBar, 0, kProgressBarRange);
  view().show(kIdcDownloadProgressBar, true);
  window_ = std::make_shared<PageNotifyWindow>(
      *context().platform.ui, view(),
      [this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
        onDownloadMessage(message, wParam, lParam);
      });
}

void DownloadInstallPage::onDestroy() {
  if (window_) window_->close();
  installer_.wait();
}

bool DownloadInstallPage::onQueryCancel() {
  asking_ = true;
  const bool quit = HeaderPage::onQueryCancel();
  asking_ = false;
  const std::optional<WorkEnd> ended = std::exchange(deferredEnd_, std::nullopt);
  if (quit) {
    if (transfer_) transfer_->request();
    return true;
  }
  if (ended) onDownloadMessage(ended->message, ended->wParam, ended->lParam);
  return false;
}

Component& DownloadInstallPage::current() {
  return *context().installQueue[static_cast<std::size_t>(context().installQueuePosition)];
}

ActivateAnswer DownloadInstallPage::onActivate(Direction) {
  view().clearList(kIdcQueueList);
  wizard().postButtons(0);
  buildQueue();
  context().installQueuePosition = 0;
  if (context().installQueueCount == 0) {
    // Nothing was selected: there is no work, so the way on is open at once.
    wizard().postButtons(WizardButton::kBack | WizardButton::kNext);
    return ActivateAnswer::Show;
  }
  startCurrent();
  return ActivateAnswer::Show;
}

// Every component gets its package path and a fresh site order; the
// selected ones are queued in catalog order. A package name that is not a
// usable file name leaves the path empty: that component fails.
void DownloadInstallPage::buildQueue() {
  SetupContext& c = context();
  c.installQueueCount = 0;
  c.installQueueOutcome.fill(ComponentOutcome::Waiting);
  queue_ = QueueProgress{};
  for (int i = 0; i < c.catalog.componentCount; ++i) {
    Component& component = *c.catalog.components[static_cast<std::size_t>(i)];
    if (!makePackagePath(*c.platform.fileSystem, state().downloadDir, component,
                         component.localPath)) {
      component.localPath.clear();
    }
    component.urlIndex = state().primarySite;
    for (int u = 0; u < component.urlCount; ++u)
      component.urlFailed[static_cast<std::size_t>(u)] = 0;
    component.notifyWindow = window_.get();
    component.statusCallback = downloadStatusCallback;
    component.downloadLimit = plausiblePackageBytes(component);
    if (!component.selected) continue;
    c.installQueue[static_cast<std::size_t>(c.installQueueCount)] = &component;
    view().addListRow(kIdcQueueList, component.title, kRowWaiting);
    ++c.installQueueCount;
    queue_.bytesTotal += catalogBytes(component);
  }
  queue_.count = c.installQueueCount;
}

// The overall line counts the bytes of the fetched packages as they measure
// and those of the others as the catalog gives them.
void DownloadInstallPage::showQueueProgress() {
  view().setText(kIdcQueueProgress, queueProgressLine(queue_, 0, 0));
}

void DownloadInstallPage::startCurrent() {
  view().setBoldListRow(kIdcQueueList, context().installQueuePosition);
  Component& component = current();
  damagedSites_ = {};
  queue_.package = context().installQueuePosition + 1;
  queue_.packageEstimate = catalogBytes(component);
  component.queueProgress = queue_;
  view().setProgressPosition(kIdcDownloadProgressBar, 0);
  showQueueProgress();
  if (component.localPath.empty()) {
    giveUp();
    return;
  }
  if (!component.unavailableReason.empty()) return failComponent(component.unavailableReason);
  if (!component.download && !localPackageIsIntact(component)) return;
  component.urlIndex = firstSite(component);
  startWorker(component);
}

// A series of attempts starts with the site whose transfer broke off and
// left NAME.part (in this run or an earlier one), so that it is continued
// before another site's transfer replaces it; otherwise with the primary.
int DownloadInstallPage::firstSite(const Component& component) {
  FileSystem& files = *context().platform.fileSystem;
  for (int u = 0; u < component.urlCount; ++u) {
    if (resumableBytes(files, component.localPath, component.urls[static_cast<std::size_t>(u)]) >
        0) {
      return u;
    }
  }
  return state().primarySite;
}

// A package found in the local archive folder is checked before it is
// installed, like a download. One without the catalog's digest is removed
// and fetched from the sites instead, as after a failed download; without
// sites the component fails. One that can't be read (or checked) fails the
// component and stays.
bool DownloadInstallPage::localPackageIsIntact(Component& component) {
  if (!component.sha256) return true;
  Platform& platform = context().platform;
  Sha256Digest digest{};
  if (platform.hashing == nullptr ||
      !sha256OfFile(*platform.fileSystem, *platform.hashing, component.localPath, digest)) {
    failComponent(kInstallFailedText);
    return false;
  }
  if (digest == *component.sha256) return true;
  const SplitPath package = splitAtLastSeparator(component.localPath);
  platform.fileSystem->deleteFile(package.folder, package.name);
  localDamaged_ = true;
  if (component.urlCount == 0) {
    failComponent(kPackageDamagedText);
    return false;
  }
  component.download = 1;
  startWorker(component);
  return false;
}

// A worker that can't be started fails the component.
void DownloadInstallPage::startWorker(Component& component) {
  transfer_ = std::make_shared<TransferCancel>();
  if (!startDownloadWorker(component, state(), context().platform, transfer_)) giveUp();
}

void DownloadInstallPage::failComponent(const std::string& reason) {
  view().setText(kIdcDownloadStatus, reason);
  countFetched(0);
  goOn(kRowFailed);
}

void DownloadInstallPage::onDownloadMessage(unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
  const int row = context().installQueuePosition;
  if (message == WM_DOWNLOAD_BEGIN) {
    view().setListRowStateImage(kIdcQueueList, row, kRowDownloading);
    view().setText(kIdcDownloadStatus, kDownloadingText);
  } else if (asking_) {
    deferredEnd_ = WorkEnd{message, wParam, lParam};  // nothing goes on behind the quit question
  } else if (message == WM_DOWNLOAD_END) {
    wParam == 1 ? onDownloaded() : onFailed(lParam);
  } else if (message == WM_INSTALL_END) {
    onInstalled(wParam == 1);
  }
}

void DownloadInstallPage::onDownloaded() {
  view().setText(kIdcDownloadStatus, kDownloadedText);
  Component& component = current();
  countFetched(packageBytes(*context().platform.fileSystem, component.localPath));
  if (!component.install) return goOn(kRowDone);
  if (!installer_.start(context(), component, window_)) onInstalled(false);
}

void DownloadInstallPage::onInstalled(bool installed) {
  const std::string& problem = installer_.problem();
  view().setText(kIdcDownloadStatus, installed         ? std::string(kInstalledText)
                                     : problem.empty() ? std::string(kInstallFailedText)
                                                       : problem);
  goOn(installed ? kRowDone : kRowFailed);
}

// The sites are tried in the order primary (or the one that left NAME.part),
// then the others from the first; when every one has failed once the user
// decides, unless every site had the package damaged: trying again can't
// mend that.
void DownloadInstallPage::onFailed(std::intptr_t cause) {
  Component& component = current();
  if (component.urlIndex >= 0 && component.urlIndex < kMaxUrls) {
    const auto index = static_cast<std::size_t>(component.urlIndex);
    component.urlFailed[index] = 1;
    damagedSites_[index] = cause == kDownloadEndHashMismatch;
  }
  for (int i = 0; i < component.urlCount; ++i) {
    if (!component.urlFailed[static_cast<std::size_t>(i)]) {
      component.urlIndex = i;
      startWorker(component);
      return;
    }
  }
  const auto damaged = [&](bool all) {
    const auto first = damagedSites_.begin();
    const auto last = first + component.urlCount;
    return all ? component.urlCount > 0 && std::all_of(first, last, [](bool d) { return d; })
               : std::any_of(first, last, [](bool d) { return d; });
  };
  if (!damaged(true) && askRetryDownload(context(), cause)) {
    component.urlIndex = firstSite(component);
    for (int u = 0; u < component.urlCount; ++u)
      component.urlFailed[static_cast<std::size_t>(u)] = 0;
    damagedSites_ = {};
    startWorker(component);
    return;
  }
  if (damaged(false) || localDamaged_) return failComponent(kPackageDamagedText);
  giveUp();
}

// A package is done with: its estimate in the total gives way to what it
// measured (0 for one given up).
void DownloadInstallPage::countFetched(std::uint64_t bytes) {
  queue_.bytesTotal =
      queue_.bytesTotal - std::min(queue_.bytesTotal, queue_.packageEstimate) + bytes;
  queue_.bytesBefore += bytes;
  queue_.packageEstimate = 0;
  view().setProgressPosition(kIdcDownloadProgressBar, bytes > 0 ? kProgressBarRange : 0);
  showQueueProgress();
}

// A component given up without an installation attempt says so in the
// status line, which would otherwise still speak of the one before.
void DownloadInstallPage::giveUp() {
  failComponent(kDownloadFailedText);
}

void DownloadInstallPage::goOn(int rowImage) {
  SetupContext& c = context();
  localDamaged_ = false;
  view().setListRowStateImage(kIdcQueueList, c.installQueuePosition, rowImage);
  c.installQueueOutcome[static_cast<std::size_t>(c.installQueuePosition)] = outcomeOf(rowImage);
  ++c.installQueuePosition;
  if (c.installQueuePosition < c.installQueueCount) {
    startCurrent();
    return;
  }
  view().setBoldListRow(kIdcQueueList, -1);
  wizard().postButtons(WizardButton::kBack | WizardButton::kNext);
}

}  // namespace ks
