#pragma once
// Installing one component on a thread of its own, so that the page's
// window keeps drawing and answering (Cancel included) while a cabinet is
// extracted or an update program runs. The thread writes its status texts
// to the page as a download worker does and tells the page how it ended
// with WM_INSTALL_END (wParam 1 installed, 0 failed), sent: the page handles
// it on its own thread while the worker waits.

#include <memory>
#include <string>
#include <thread>

#include "app/setup_context.h"
#include "catalog/catalog_records.h"
#include "download/download_notify_window.h"

namespace ks {

inline constexpr unsigned WM_INSTALL_END = kWmUser + 14;

// One installation at a time. Made and used on the page's thread.
class InstallWorker {
 public:
  InstallWorker() = default;
  InstallWorker(const InstallWorker&) = delete;
  InstallWorker& operator=(const InstallWorker&) = delete;
  ~InstallWorker() { wait(); }

  // installComponent for the component, then, in Internet mode with
  // deleteAfterInstall, the package file deleted, then WM_INSTALL_END to
  // window. The context and the component must stay until wait() returns.
  // False when no thread could be started (then nothing is sent).
  bool start(SetupContext& context, Component& component,
             std::shared_ptr<DownloadNotifyWindow> window);
  // Waits until the thread of the last start has ended. Close the page's
  // window first when the page is going: a closed window does not hold the
  // thread's texts and messages back.
  void wait();
  // The reason of a failure with one of its own ("Not enough disk space:
  // ..."); read when WM_INSTALL_END arrives.
  const std::string& problem() const { return problem_; }

 private:
  std::thread thread_;
  std::string problem_;
};

}  // namespace ks
