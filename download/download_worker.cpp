#include "download/download_worker.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "download/download_file.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"

namespace ks {

namespace {

std::atomic<int> runningWorkers{0};

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
  bool viaProxy = false;
  std::string proxy;
};

// The URL of the site being tried; an index outside the table names no URL,
// and the transfer fails.
const std::string& currentUrl(const Component& component) {
  static const std::string noUrl;
  const int index = component.urlIndex;
  if (index < 0 || index >= kMaxUrls) return noUrl;
  return component.urls[static_cast<std::size_t>(index)];
}

WorkerTask makeTask(const Component& component, const SetupState& state) {
  WorkerTask task;
  task.window = component.notifyWindow;
  if (task.window != nullptr) task.keepWindow = task.window->weak_from_this().lock();
  task.download = component.download != 0;
  task.callback = component.statusCallback;
  task.url = currentUrl(component);
  task.targetPath = component.localPath;
  task.maxBytes = component.downloadLimit;
  task.viaProxy = state.useProxy != 0;
  task.proxy = state.proxyServer;
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
  job.url = &task.url;
  job.targetPath = &task.targetPath;
  job.maxBytes = task.maxBytes;
  job.proxy = task.viaProxy ? &task.proxy : nullptr;
  return job;
}

void runTask(const WorkerTask& task, InternetApi& internet, FileSystem& files) {
  DownloadNotifyWindow* window = task.window;
  if (window == nullptr || !window->isWindow()) return;
  if (!task.download) {
    window->sendMessage(WM_DOWNLOAD_END, 1, 0);
    return;
  }
  window->sendMessage(WM_DOWNLOAD_BEGIN, 0, 0);
  DownloadJob job = makeJob(task);
  const bool ok = downloadFile(internet, files, task.callback, job);
  window->sendMessage(WM_DOWNLOAD_END, ok ? 1 : 0,
                      job.outcome == DownloadOutcome::TooSlow ? kDownloadEndTooSlow : 0);
}

}  // namespace

void downloadWorker(Component& component, const SetupState& state, InternetApi& internet,
                    FileSystem& files) {
  runTask(makeTask(component, state), internet, files);
}

bool startDownloadWorker(Component& component, const SetupState& state, InternetApi& internet,
                         FileSystem& files) {
  auto task = std::make_unique<WorkerTask>(makeTask(component, state));
  ++runningWorkers;
  try {
    // The thread owns its task and holds only the ports by reference; once
    // detached it owns nothing the page could wait for, so the page may start
    // the next worker from inside the WM_DOWNLOAD_END handler of this one.
    std::thread(
        [&internet, &files](std::unique_ptr<WorkerTask> own) {
          runTask(*own, internet, files);
          own.reset();
          --runningWorkers;
        },
        std::move(task))
        .detach();
  } catch (const std::system_error&) {
    --runningWorkers;
    return false;
  }
  return true;
}

int runningDownloadWorkers() {
  return runningWorkers.load();
}

int exitCodeLeavingDownloads(int exitCode) {
  if (runningDownloadWorkers() == 0) return exitCode;
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

}  // namespace ks
