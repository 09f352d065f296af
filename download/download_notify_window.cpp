#include "download/download_notify_window.h"

namespace ks {

void PageNotifyWindow::close() {
  {
    std::lock_guard lock(link_->mutex);
    link_->open = false;
  }
  link_->changed.notify_all();
}

bool PageNotifyWindow::isWindow() {
  std::lock_guard lock(link_->mutex);
  return link_->open;
}

// On the page's thread itself (an installation writing its status) fn runs
// at once. From another thread the call is queued for the page's thread and
// waited for until it has run or the page has closed. A call that runs after
// the close does nothing: it finds the page closed (close runs on the same
// thread), so fn, which lives only as long as the caller waits, is never
// touched then.
void PageNotifyWindow::onPage(const std::function<void()>& fn) {
  if (!isWindow()) return;
  if (std::this_thread::get_id() == pageThread_) {
    fn();
    return;
  }
  const std::shared_ptr<Link> link = link_;
  const auto done = std::make_shared<bool>(false);
  ui_.post([link, done, &fn] {
    bool open = false;
    {
      std::lock_guard lock(link->mutex);
      open = link->open;
    }
    if (open) fn();
    {
      std::lock_guard lock(link->mutex);
      *done = true;
    }
    link->changed.notify_all();
  });
  std::unique_lock lock(link->mutex);
  link->changed.wait(lock, [&] { return *done || !link->open; });
}

void PageNotifyWindow::sendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  onPage([&] { handler_(message, wParam, lParam); });
}

void PageNotifyWindow::setDlgItemText(int controlId, const std::string& text) {
  onPage([&] { view_.setText(controlId, text); });
}

void PageNotifyWindow::setProgressPosition(int controlId, int position) {
  onPage([&] { view_.setProgressPosition(controlId, position); });
}

}  // namespace ks
