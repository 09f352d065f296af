#pragma once
// The worker thread of one transfer: tells the component's page when the
// transfer begins (WM_DOWNLOAD_BEGIN) and how it ended (WM_DOWNLOAD_END,
// wParam 1 success, 0 failure). Both are sent: the page handles them on its
// own thread while the worker waits, and may start the next worker from its
// WM_DOWNLOAD_END handler.

#include <memory>

#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "platform/platform.h"

namespace ks {

class TransferCancel;

// The thread procedure. Reads the component and the proxy settings before
// anything else, changes neither. Nothing is sent when the page is already
// gone. The transfer works through the Internet client, the file system
// and, to check a package's digest, the hashing of ports.
void downloadWorker(Component& component, const SetupState& state, const Platform& ports);

// Starts downloadWorker on a thread of its own and returns at once, like
// _beginthread: nobody joins the thread, it ends by itself after its
// WM_DOWNLOAD_END has been handled. The component and the settings are read
// before this returns, and a page window owned by a shared_ptr is kept alive
// by the worker, so the page may go (and the catalog be released) while the
// transfer runs; the ports ports points at must outlive the thread. False
// when no thread could be started (then nothing is sent to the page).
// Through cancel, when given, the page can stop the transfer
// (download/transfer_cancel.h).
bool startDownloadWorker(Component& component, const SetupState& state, const Platform& ports,
                         std::shared_ptr<TransferCancel> cancel = nullptr);

// Workers started by startDownloadWorker whose thread has not ended yet.
int runningDownloadWorkers();

// The end of a run. Returns exitCode when no worker runs. A transfer still
// under way (the user cancelled the setup during a download) is stopped and
// given a moment to close its partial file (kept for a later run to
// continue); then, if a worker still runs,
// the process ends at once with exitCode, after flushing its output, so the
// client and the dispatcher the worker uses are never torn down beneath it.
int exitCodeLeavingDownloads(int exitCode);

}  // namespace ks
