#include "download/download_worker.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>

#include "download/download_file.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/transfer_cancel.h"

namespace ks {

namespace {

// A stopped transfer ends within moments; a run that ends waits this long
// for its transfers to close what they wrote.
constexpr auto kStoppedTransferWait = std::chrono::seconds(3);

// The transfers of the workers whose thread has not ended yet.
struct RunningWorkers {
  std::mutex mutex;
  std::condition_variable ended;
  std::multiset<std::shared_ptr<TransferCancel>> transfers;
};

RunningWorkers& running() {
  static RunningWorkers workers;
  return workers;
}

// What one transfer needs, taken from the component and the settings when the
// worker is started, so the page may change or release them while the
// transfer runs. A page window held by a shared_ptr is kept alive as well.
struct WorkerTask {
  DownloadNotifyWindow* window = nullptr;
  std::shared_ptr<DownloadNotifyWindow> keepWindow;
  bool download = false;
  DownloadStatusCallback callback = nullptr;
  std::string url;
  std::string targetPath;
  std::uint64_t maxBytes = 0;
  std::optional<Sha256Digest> sha256;
  QueueProgress queue;
  bool viaProxy = false;
  std::string proxy;
  std::shared_ptr<TransferCancel> cancel;
  // The ports the transfer works through (not owned).
  Platform ports;
};

// The URL of the site being tried; an index outside the table names no URL,
// and the transfer fails.
const std::string& currentUrl(const Component& component) {
  static const std::string noUrl;
  const int index = component.urlIndex;
  if (index < 0 || index >= kMaxUrls) return noUrl;
  return component.urls[static_cast<std::size_t>(index)];
}

WorkerTask makeTask(const Component& component, const SetupState& state, const Platform& ports) {
  WorkerTask task;
  task.window = component.notifyWindow;
  if (task.window != nullptr) task.keepWindow = task.window->weak_from_this().lock();
  task.download = component.download != 0;
  task.callback = component.statusCallback;
  task.url = currentUrl(component);
  task.targetPath = component.localPath;
  task.maxBytes = component.downloadLimit;
  task.sha256 = component.sha256;
  task.queue = component.queueProgress;
  task.viaProxy = state.useProxy != 0;
  task.proxy = state.proxyServer;
  task.ports = ports;
  return task;
}

DownloadJob makeJob(const WorkerTask& task) {
  DownloadJob job;
  job.window = task.window;
  job.statusControlId = kIdcDownloadStatus;
  job.sourceControlId = kIdcDownloadSource;
  job.folderControlId = kIdcDownloadFolder;
  job.progressControlId = kIdcDownloadProgress;
  job.progressBarControlId = kIdcDownloadProgressBar;
  job.queueControlId = kIdcQueueProgress;
  job.queue = &task.queue;
  job.url = &task.url;
  job.targetPath = &task.targetPath;
  job.maxBytes = task.maxBytes;
  job.expectedSha256 = task.sha256;
  job.hashing = task.ports.hashing;
  job.proxy = task.viaProxy ? &task.proxy : nullptr;
  job.cancel = task.cancel.get();
  return job;
}

// What the page hears of a failure it explains.
std::intptr_t endCause(DownloadOutcome outcome) {
  switch (outcome) {
    case DownloadOutcome::TooSlow:
      return kDownloadEndTooSlow;
    case DownloadOutcome::HashMismatch:
      return kDownloadEndHashMismatch;
    case DownloadOutcome::CertificateFailed:
      return kDownloadEndCertificate;
    default:
      return 0;
  }
}

void runTask(const WorkerTask& task) {
  DownloadNotifyWindow* window = task.window;
  if (window == nullptr || !window->isWindow()) return;
  if (!task.download) {
    window->sendMessage(WM_DOWNLOAD_END, 1, 0);
    return;
  }
  window->sendMessage(WM_DOWNLOAD_BEGIN, 0, 0);
  DownloadJob job = makeJob(task);
  const bool ok = downloadFile(*task.ports.internet, *task.ports.fileSystem, task.callback, job);
  window->sendMessage(WM_DOWNLOAD_END, ok ? 1 : 0, ok ? 0 : endCause(job.outcome));
}

void workerEnded(const std::shared_ptr<TransferCancel>& cancel) {
  RunningWorkers& workers = running();
  std::lock_guard lock(workers.mutex);
  workers.transfers.erase(workers.transfers.find(cancel));
  workers.ended.notify_all();
}

}  // namespace

void downloadWorker(Component& component, const SetupState& state, const Platform& ports) {
  runTask(makeTask(component, state, ports));
}

bool startDownloadWorker(Component& component, const SetupState& state, const Platform& ports,
                         std::shared_ptr<TransferCancel> cancel) {
  auto task = std::make_unique<WorkerTask>(makeTask(component, state, ports));
  task->cancel = cancel ? std::move(cancel) : std::make_shared<TransferCancel>();
  const std::shared_ptr<TransferCancel> transfer = task->cancel;
  {
    std::lock_guard lock(running().mutex);
    running().transfers.insert(transfer);
  }
  try {
    // The thread owns its task, which only points at the ports; once
    // detached it owns nothing the page could wait for, so the page may start
    // the next worker from inside the WM_DOWNLOAD_END handler of this one.
    std::thread(
        [](std::unique_ptr<WorkerTask> own) {
          runTask(*own);
          const std::shared_ptr<TransferCancel> done = own->cancel;
          own.reset();
          workerEnded(done);
        },
        std::move(task))
        .detach();
  } catch (const std::system_error&) {
    workerEnded(transfer);
    return false;
  }
  return true;
}

int runningDownloadWorkers() {
  std::lock_guard lock(running().mutex);
  return static_cast<int>(running().transfers.size());
}

int exitCodeLeavingDownloads(int exitCode) {
  RunningWorkers& workers = running();
  std::unique_lock lock(workers.mutex);
  if (workers.transfers.empty()) return exitCode;
  for (const auto& transfer : workers.transfers) transfer->request();
  workers.ended.wait_for(lock, kStoppedTransferWait, [&] { return workers.transfers.empty(); });
  const bool left = !workers.transfers.empty();
  lock.unlock();
  if (!left) return exitCode;
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

}  // namespace ks
