#include "download/download_status.h"

#include <cstdio>
#include <ctime>

#include "app/paths.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/download_url.h"
#include "download/progress_line.h"
#include "download/queue_progress.h"

namespace ks {

namespace {

constexpr const char* kResolvingName = "Resolving Name ...";
constexpr const char* kNameResolved = "Name resolved.";
constexpr const char* kConnecting = "Connecting ...";
constexpr const char* kConnected = "Connected.";
constexpr const char* kDownloading = "Downloading ...";
constexpr const char* kClosingConnection = "Closing Connection ...";
constexpr const char* kConnectionClosed = "Connection closed.";
constexpr const char* kDownloadSuccessful = "Download successfull";
constexpr const char* kDownloadTooSlow = "Download failed: the server is too slow.";
constexpr const char* kRedirecting = "Redirecting...";
constexpr const char* kUnknownStatusFormat = "Unknown Status %d Given";
constexpr const char* kSourceFormat = "%s from %s";

bool isSilentStatus(std::uint32_t status) {
  switch (status) {
    case kInternetStatusSendingRequest:
    case kInternetStatusRequestSent:
    case kInternetStatusReceivingResponse:
    case kInternetStatusRequestComplete:
    case kInternetStatusIntermediateResponse:
    case kInternetStatusStateChange:
    case kInternetStatusHandleCreated:
      return true;
    default:
      return false;
  }
}

// The handles of a transfer close once it has ended one way or the other.
std::string closingText(const DownloadJob& job) {
  switch (job.outcome) {
    case DownloadOutcome::Succeeded:
      return kDownloadSuccessful;
    case DownloadOutcome::TooSlow:
      return kDownloadTooSlow;
    case DownloadOutcome::CertificateFailed:
      return job.failureText;
    case DownloadOutcome::HashMismatch:
      return kPackageDamagedText;
    default:
      return kDownloadFailedText;
  }
}

std::string unknownStatus(std::uint32_t status) {
  char text[64];
  std::snprintf(text, sizeof text, kUnknownStatusFormat, static_cast<int>(status));
  return text;
}

// A new handle: the progress bar starts over, and the source and folder
// lines name what is fetched from where into which folder.
void showSourceAndFolder(DownloadJob& job) {
  job.window->setProgressPosition(job.progressBarControlId, 0);
  const SplitPath target = splitAtLastSeparator(*job.targetPath);
  const std::string host = sourceHost(*job.url);  // never its user name or password
  char source[2 * 1024 + 16];
  std::snprintf(source, sizeof source, kSourceFormat, target.name.c_str(), host.c_str());
  job.window->setDlgItemText(job.sourceControlId, source);
  job.window->setDlgItemText(job.folderControlId, target.folder);
}

bool isProgress(std::uint32_t status) {
  return status == kInternetStatusResponseReceived || status == kInternetStatusHandleClosing;
}

// The bar, and the queue's overall line where the job belongs to one.
void showBarAndQueue(DownloadJob& job) {
  job.window->setProgressPosition(job.progressBarControlId, progressBarPosition(job));
  if (job.queue == nullptr || job.queue->count == 0) return;
  job.window->setDlgItemText(job.queueControlId,
                             queueProgressLine(*job.queue, job.receivedBytes, job.expectedSize));
}

void showProgress(DownloadJob& job, std::uint32_t status) {
  const std::time_t now = std::time(nullptr);
  const bool responseBegins =
      status == kInternetStatusResponseReceived && job.receivedBytes == job.resumedFrom;
  job.window->setDlgItemText(job.progressControlId, responseBegins ? startProgressLine(job, now)
                                                                   : formatProgressLine(job, now));
  showBarAndQueue(job);
}

}  // namespace

std::string statusText(const DownloadJob& job, std::uint32_t status) {
  switch (status) {
    case kInternetStatusResolvingName:
      return kResolvingName;
    case kInternetStatusNameResolved:
      return kNameResolved;
    case kInternetStatusConnectingToServer:
      return kConnecting;
    case kInternetStatusConnectedToServer:
      return kConnected;
    case kInternetStatusResponseReceived:
      return kDownloading;
    case kInternetStatusClosingConnection:
      return kClosingConnection;
    case kInternetStatusConnectionClosed:
      return kConnectionClosed;
    case kInternetStatusHandleClosing:
      return closingText(job);
    case kInternetStatusRedirect:
      return kRedirecting;
    default:
      return isSilentStatus(status) ? std::string() : unknownStatus(status);
  }
}

void downloadStatusCallback(InternetHandle, void* context, std::uint32_t status, const void*,
                            std::uint32_t) {
  auto& job = *static_cast<DownloadJob*>(context);
  if (status == kInternetStatusHandleCreated) showSourceAndFolder(job);
  if (isProgress(status)) showProgress(job, status);
  const std::string text = statusText(job, status);
  if (!text.empty()) job.window->setDlgItemText(job.statusControlId, text);
}

void downloadBarCallback(InternetHandle, void* context, std::uint32_t status, const void*,
                         std::uint32_t) {
  auto& job = *static_cast<DownloadJob*>(context);
  if (status == kInternetStatusHandleCreated) {
    job.window->setProgressPosition(job.progressBarControlId, 0);
  } else if (isProgress(status)) {
    job.window->setProgressPosition(job.progressBarControlId, progressBarPosition(job));
  }
}

}  // namespace ks
