#pragma once
// The Proxy Settings dialog (110): whether downloads go through a proxy, and
// which. The settings last for the run; each later download reads them when
// its worker starts.

#include "app/setup_state.h"
#include "download/dialog_result.h"
#include "platform/page_view.h"

namespace ks {

inline constexpr int kIddProxySettings = 110;
inline constexpr int kIdcUseProxy = 1075;
inline constexpr int kIdcProxyLabel = 1076;
inline constexpr int kIdcProxyServer = 1030;

inline constexpr const char* kProxyDialogCaption = "Proxy Settings";
inline constexpr const char* kProxyDialogPrompt =
    "Please enter the proxy settings for your location.";
inline constexpr const char* kProxyGroupTitle = "Proxy Server Settings";
inline constexpr const char* kUseProxyLabel = "&Connect using a proxy server";
inline constexpr const char* kProxyLabel = "&Proxy:";
inline constexpr const char* kProxyFormatHint = "(host:port)";
inline constexpr const char* kOkLabel = "OK";
inline constexpr const char* kCancelLabel = "Cancel";

class ProxyDialogController {
 public:
  ProxyDialogController(PageView& view, SetupState& state) : view_(view), state_(state) {}

  // WM_INITDIALOG: shows the current settings.
  void onInit();
  // WM_COMMAND; only notification code 0 (clicks, accelerators) is handled.
  // OK stores the settings and ends with kIdOk; Cancel ends with kIdCancel.
  DialogCommandResult onCommand(int controlId, int notificationCode);

 private:
  PageView& view_;
  SetupState& state_;
};

}  // namespace ks
