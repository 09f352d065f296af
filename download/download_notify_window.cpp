#include "download/download_notify_window.h"

namespace ks {

// Once the page is closed nothing goes to its thread, which may have stopped
// handling calls; a call already under way finds it closed and does nothing.
void PageNotifyWindow::onPage(const std::function<void()>& fn) {
  if (!open_) return;
  ui_.send([&] {
    if (open_) fn();
  });
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
