#include "engine_fetch.h"

#include <chrono>

#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/openssl_hashing.h"
#include "platform/posix/posix_file_system.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/headless_page_view.h"
#include "ui/headless/scripted_dialogs.h"

namespace ks::bench {

namespace {
// The page's controls are created as the texts arrive.
constexpr int kNoTemplate = 0;
}  // namespace

bool fetchThroughEngine(const std::string& url, const std::string& path,
                        const FetchOptions& options, std::string* lastProgress) {
  HeadlessDispatcher ui;
  HeadlessPageView view(kNoTemplate);
  ScriptedDialogs dialogs;
  CurlInternetApi internet(dialogs);
  PosixFileSystem files;
  OpensslHashing hashing;
  SetupState state;
  Component component;
  int result = -1;
  PageNotifyWindow page(ui, view, [&](unsigned message, std::uintptr_t wParam, std::intptr_t) {
    if (message == WM_DOWNLOAD_END) result = static_cast<int>(wParam);
  });
  component.notifyWindow = &page;
  component.download = 1;
  component.statusCallback = options.withTexts ? downloadStatusCallback : nullptr;
  component.sha256 = options.sha256;
  component.urls[0] = url;
  component.localPath = path;
  Platform ports;
  ports.fileSystem = &files;
  ports.internet = &internet;
  ports.hashing = &hashing;
  if (!startDownloadWorker(component, state, ports)) return false;
  // The worker always ends: a silent server is given up by the client.
  while (!ui.runUntil([&] { return result >= 0; }, std::chrono::minutes(1))) {
  }
  if (lastProgress != nullptr) *lastProgress = view.at(kIdcDownloadProgress).text;
  return result == 1;
}

}  // namespace ks::bench
