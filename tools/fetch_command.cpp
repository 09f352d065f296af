// ksetup-tool fetch: one download through the engine, exactly as the
// Download and Install page runs it, with every text the page would show.

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/printable_text.h"
#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "tools/commands.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/silent_page_view.h"

namespace ks::tool {

namespace {

constexpr const char* kFetchUsage = "usage: ksetup-tool fetch [--proxy HOST:PORT] URL FILE\n";

// Prints the texts of the page's status, source, folder and progress lines.
class PrintingView : public SilentPageView {
 public:
  void setText(int controlId, const std::string& text) override {
    std::printf("%d %s\n", controlId, printableText(text).c_str());
    std::fflush(stdout);
  }
};

// No one to ask: password questions are declined.
class UnattendedDialogs : public Dialogs {
 public:
  bool browseForFolder(const std::string&, std::string&) override { return false; }
  int runModalDialog(int, ModalDialog&) override { return 2; }
  MessageAnswer messageBox(const MessageBoxRequest&) override { return MessageAnswer::Cancel; }
};

bool parseArguments(const Arguments& args, SetupState& state, Component& component) {
  std::size_t next = 0;
  if (args.size() == 4 && args[0] == "--proxy") {
    state.useProxy = 1;
    state.proxyServer = args[1];
    next = 2;
  }
  if (args.size() != next + 2) return false;
  component.urls[0] = args[next];
  component.localPath = args[next + 1];
  return true;
}

}  // namespace

int runFetchCommand(const Arguments& args, const AdapterSet& adapters) {
  SetupState state;
  Component component;
  if (!parseArguments(args, state, component)) {
    std::fputs(kFetchUsage, stderr);
    return 2;
  }
  HeadlessDispatcher ui;
  PrintingView view;
  UnattendedDialogs dialogs;
  const std::unique_ptr<InternetApi> internet = adapters.makeInternet(dialogs);
  FileSystem& files = *adapters.ports.fileSystem;
  int result = -1;
  PageNotifyWindow page(ui, view, [&](unsigned message, std::uintptr_t wParam, std::intptr_t) {
    if (message == WM_DOWNLOAD_END) result = static_cast<int>(wParam);
  });
  component.notifyWindow = &page;
  component.download = 1;
  component.statusCallback = downloadStatusCallback;
  std::thread worker(downloadWorker, std::ref(component), std::cref(state), std::ref(*internet),
                     std::ref(files));
  // The worker ends by itself: a silent server is given up after a minute.
  while (!ui.runUntil([&] { return result >= 0; }, std::chrono::hours(1))) {
  }
  worker.join();
  std::printf("result %d\n", result);
  return result == 1 ? 0 : 1;
}

}  // namespace ks::tool
