#include "tools/engine_fetch.h"

#include <chrono>
#include <thread>

#include "download/download_notify_window.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "ui/headless/headless_dispatcher.h"

namespace ks::tool {

FetchResult fetchThroughEngine(Component& component, const SetupState& state, const Platform& ports,
                               PageView& view) {
  HeadlessDispatcher ui;
  int result = -1;
  FetchResult outcome;
  PageNotifyWindow page(ui, view,
                        [&](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
                          if (message != WM_DOWNLOAD_END) return;
                          result = static_cast<int>(wParam);
                          outcome.cause = lParam;
                        });
  component.notifyWindow = &page;
  component.download = 1;
  component.statusCallback = downloadStatusCallback;
  std::thread worker(downloadWorker, std::ref(component), std::cref(state), std::cref(ports));
  // The worker ends by itself: a silent server is given up after a minute.
  while (!ui.runUntil([&] { return result >= 0; }, std::chrono::hours(1))) {
  }
  worker.join();
  component.notifyWindow = nullptr;
  outcome.ok = result == 1;
  return outcome;
}

}  // namespace ks::tool
