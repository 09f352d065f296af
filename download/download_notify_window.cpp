#include "download/download_notify_window.h"

namespace ks {

void PageNotifyWindow::sendMessage(unsigned message, std::uintptr_t wParam) {
  ui_.send([&] {
    if (open_) handler_(message, wParam);
  });
}

void PageNotifyWindow::setDlgItemText(int controlId, const std::string& text) {
  ui_.send([&] {
    if (open_) view_.setText(controlId, text);
  });
}

void PageNotifyWindow::setProgressPosition(int controlId, int position) {
  ui_.send([&] {
    if (open_) view_.setProgressPosition(controlId, position);
  });
}

}  // namespace ks
