#include "download/download_worker.h"

#include <functional>
#include <system_error>
#include <thread>

#include "download/download_file.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"

namespace ks {

namespace {

// The URL of the site being tried; an index outside the table names no URL,
// and the transfer fails.
const std::string& currentUrl(const Component& component) {
  static const std::string noUrl;
  const int index = component.urlIndex;
  if (index < 0 || index >= kMaxUrls) return noUrl;
  return component.urls[static_cast<std::size_t>(index)];
}

DownloadJob makeJob(const Component& component, const SetupState& state) {
  DownloadJob job;
  job.window = component.notifyWindow;
  job.statusControlId = kIdcDownloadStatus;
  job.sourceControlId = kIdcDownloadSource;
  job.folderControlId = kIdcDownloadFolder;
  job.progressControlId = kIdcDownloadProgress;
  job.progressBarControlId = kIdcDownloadProgressBar;
  job.url = &currentUrl(component);
  job.targetPath = &component.localPath;
  job.proxy = state.useProxy ? &state.proxyServer : nullptr;
  return job;
}

}  // namespace

void downloadWorker(Component& component, const SetupState& state, InternetApi& internet) {
  DownloadNotifyWindow* window = component.notifyWindow;
  if (window == nullptr || !window->isWindow()) return;
  if (!component.download) {
    window->sendMessage(WM_DOWNLOAD_END, 1);
    return;
  }
  window->sendMessage(WM_DOWNLOAD_BEGIN, 0);
  DownloadJob job = makeJob(component, state);
  const bool ok = downloadFile(internet, component.statusCallback, job);
  window->sendMessage(WM_DOWNLOAD_END, ok ? 1 : 0);
}

bool startDownloadWorker(Component& component, const SetupState& state, InternetApi& internet) {
  try {
    // The thread holds only references; once detached it owns nothing the
    // page could wait for, so the page may start the next worker from inside
    // the WM_DOWNLOAD_END handler of this one.
    std::thread(downloadWorker, std::ref(component), std::cref(state), std::ref(internet)).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace ks
