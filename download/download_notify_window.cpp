#include "download/download_notify_window.h"

namespace ks {

void PageNotifyWindow::sendMessage(unsigned message, std::uintptr_t wParam) {
  if (!open_) return;
  ui_.send([&] {
    if (open_) handler_(message, wParam);
  });
}

void PageNotifyWindow::setDlgItemText(int controlId, const std::string& text) {
  if (!open_) return;
  ui_.send([&] {
    if (open_) view_.setText(controlId, text);
  });
}

void PageNotifyWindow::setProgressPosition(int controlId, int position) {
  if (!open_) return;
  ui_.send([&] {
    if (open_) view_.setProgressPosition(controlId, position);
  });
}

}  // namespace ks
