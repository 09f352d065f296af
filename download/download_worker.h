#pragma once
// The worker thread of one transfer: tells the component's page when the
// transfer begins (WM_DOWNLOAD_BEGIN) and how it ended (WM_DOWNLOAD_END,
// wParam 1 success, 0 failure). Both are sent: the page handles them on its
// own thread while the worker waits, and may start the next worker from its
// WM_DOWNLOAD_END handler.

#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "platform/internet_api.h"

namespace ks {

// The thread procedure. Reads the component and the proxy settings, changes
// neither. Nothing is sent when the page is already gone.
void downloadWorker(Component& component, const SetupState& state, InternetApi& internet);

// Starts downloadWorker on a thread of its own and returns at once, like
// _beginthread: nobody joins the thread, it ends by itself after its
// WM_DOWNLOAD_END has been handled and touches nothing after that. component,
// state and internet must live until WM_DOWNLOAD_END arrives. False when no
// thread could be started (then nothing is sent to the page).
bool startDownloadWorker(Component& component, const SetupState& state, InternetApi& internet);

}  // namespace ks
