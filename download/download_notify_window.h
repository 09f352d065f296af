#pragma once
// The page a download reports to: it receives WM_DOWNLOAD_BEGIN and
// WM_DOWNLOAD_END and shows the texts of the transfer in its controls. Every
// call comes from the worker thread and completes on the page's thread before
// it returns (SendMessage and cross-thread SetDlgItemText).

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/page_view.h"
#include "platform/ui_dispatcher.h"

namespace ks {

// Private window messages of the download worker.
inline constexpr unsigned kWmUser = 0x0400;
inline constexpr unsigned WM_DOWNLOAD_BEGIN = kWmUser + 10;
inline constexpr unsigned WM_DOWNLOAD_END = kWmUser + 13;
// lParam of a WM_DOWNLOAD_END that reports a failure (wParam 0) the page
// explains; 0 for any other end. The server sent too slowly; the file
// arrived whole but without the digest the catalog gives; the server's
// certificate was refused.
inline constexpr std::intptr_t kDownloadEndTooSlow = 1;
inline constexpr std::intptr_t kDownloadEndHashMismatch = 2;
inline constexpr std::intptr_t kDownloadEndCertificate = 3;

// A window owned by a shared_ptr is kept alive by a running worker.
class DownloadNotifyWindow : public std::enable_shared_from_this<DownloadNotifyWindow> {
 public:
  virtual ~DownloadNotifyWindow() = default;
  // IsWindow: false once the page is gone.
  virtual bool isWindow() = 0;
  // SendMessage.
  virtual void sendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // SetDlgItemText.
  virtual void setDlgItemText(int controlId, const std::string& text) = 0;
  // PBM_SETPOS.
  virtual void setProgressPosition(int controlId, int position) = 0;
};

// A page controller with its view, reached through the UI dispatcher. Each
// call waits until the page's thread has handled it, as SendMessage does,
// but only while the page is open: close() (the page is destroyed) releases
// a call that still waits, and from then on texts and messages are dropped
// without waiting for the page's thread, which may have stopped handling
// them (the run is ending).
class PageNotifyWindow final : public DownloadNotifyWindow {
 public:
  using MessageHandler =
      std::function<void(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

  // Made on the page's thread.
  PageNotifyWindow(UiDispatcher& ui, PageView& view, MessageHandler handler)
      : ui_(ui), view_(view), handler_(std::move(handler)) {}
  ~PageNotifyWindow() override { close(); }

  // Called on the page's thread when the page goes away.
  void close();

  bool isWindow() override;
  void sendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void setDlgItemText(int controlId, const std::string& text) override;
  void setProgressPosition(int controlId, int position) override;

 private:
  // Runs fn on the page's thread while the page is open.
  void onPage(const std::function<void()>& fn);

  // Whether the page is open, shared with the calls on their way to its
  // thread, which may run after the window is gone.
  struct Link {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = true;
  };

  UiDispatcher& ui_;
  PageView& view_;
  MessageHandler handler_;
  const std::thread::id pageThread_ = std::this_thread::get_id();
  std::shared_ptr<Link> link_ = std::make_shared<Link>();
};

}  // namespace ks
