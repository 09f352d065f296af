#include "download/proxy_dialog.h"

#include "app/fixed_text.h"

namespace ks {

void ProxyDialogController::onInit() {
  view_.check(kIdcUseProxy, state_.useProxy == 1);
  view_.enable(kIdcProxyServer, state_.useProxy == 1);
  view_.setText(kIdcProxyServer, state_.proxyServer);
}

DialogCommandResult ProxyDialogController::onCommand(int controlId, int notificationCode) {
  if (notificationCode != 0) return kDialogStaysOpen;
  switch (controlId) {
    case kIdcUseProxy:
      view_.enable(kIdcProxyServer, view_.isChecked(kIdcUseProxy));
      return kDialogStaysOpen;
    case kIdOk:
      // Stored as typed, without checking its form, ticked or not.
      state_.useProxy = view_.isChecked(kIdcUseProxy) ? 1 : 0;
      state_.proxyServer = fitText(view_.text(kIdcProxyServer), kProxyServerBytes);
      return endDialog(kIdOk);
    case kIdCancel:
      return endDialog(kIdCancel);
    default:
      return kDialogStaysOpen;
  }
}

}  // namespace ks
