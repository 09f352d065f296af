#pragma once
// The Download and Install page: every selected component is downloaded
// (primary site first, then the others, then the retry dialog's answer) and
// installed at once, with one list row per component showing how it went.
// Downloads and installations run on threads of their own; the page only
// reacts to their messages, so its window never stops answering.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "download/download_notify_window.h"
#include "install/install_worker.h"
#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kDownloadInstallTemplate = 105;
inline constexpr int kIdcQueueList = 1070;
inline constexpr int kBitmapRowStates = 149;

// Row state images.
inline constexpr int kRowWaiting = 1;
inline constexpr int kRowDownloading = 2;
inline constexpr int kRowDone = 3;
inline constexpr int kRowFailed = 4;

class TransferCancel;

class DownloadInstallPage final : public HeaderPage {
 public:
  explicit DownloadInstallPage(SetupContext& context);
  ~DownloadInstallPage() override;

  ActivateAnswer onActivate(Direction direction) override;
  // Waits for a running installation: it ends with what it wrote recorded.
  void onDestroy() override;
  // The quit question. While it is open the queue waits: a download or an
  // installation that ends meanwhile is handled after No; Yes stops the
  // running transfer (a running installation ends first, see onDestroy).
  bool onQueryCancel() override;
  // WM_DOWNLOAD_BEGIN, WM_DOWNLOAD_END and WM_INSTALL_END of the current
  // component.
  void onDownloadMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

 protected:
  void onInit() override;

 private:
  void buildQueue();
  void startCurrent();
  bool localPackageIsIntact(Component& component);
  int firstSite(const Component& component);
  void startWorker(Component& component);
  void onDownloaded();
  void onInstalled(bool installed);
  // cause: the lParam of WM_DOWNLOAD_END (kDownloadEndTooSlow, ...).
  void onFailed(std::intptr_t cause);
  void giveUp();
  // The component fails with reason in the status line.
  void failComponent(const std::string& reason);
  void goOn(int rowImage);
  void countFetched(std::uint64_t bytes);
  void showQueueProgress();
  Component& current();

  std::shared_ptr<PageNotifyWindow> window_;
  // Where the queue stands, for the overall line.
  QueueProgress queue_;
  // The transfer of the running worker.
  std::shared_ptr<TransferCancel> transfer_;
  InstallWorker installer_;
  bool asking_ = false;
  // WM_DOWNLOAD_END or WM_INSTALL_END that arrived while the quit question
  // was open.
  struct WorkEnd {
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
  };
  std::optional<WorkEnd> deferredEnd_;
  // Sites of the current series that sent the current package damaged.
  std::array<bool, kMaxUrls> damagedSites_{};
  // The current component's package in the local archive folder was damaged.
  bool localDamaged_ = false;
};

}  // namespace ks
