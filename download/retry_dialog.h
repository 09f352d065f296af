#pragma once
// The dialog shown when every URL of a file has failed once (164): Retry
// starts the series again, Cancel gives up, Advanced opens the Proxy Settings
// dialog and leaves this one open.

#include <functional>

#include "download/dialog_result.h"

namespace ks {

inline constexpr int kIddRetryDownload = 164;
inline constexpr int kIdcRetryIcon = 1048;  // the system's exclamation icon
inline constexpr int kIdcRetryProblem = 1049;
inline constexpr int kIdcAdvanced = 1073;

inline constexpr int kRetryResultRetry = kIdOk;
inline constexpr int kRetryResultCancel = kIdCancel;

inline constexpr const char* kRetryDialogCaption = "Kestrova Active Setup";
inline constexpr const char* kRetryDialogProblem = "Setup was unable to download the file.";
// The problem line after a server that sent too slowly.
inline constexpr const char* kRetryDialogTooSlow =
    "Setup was unable to download the file: the server is too slow.";
// After an https server whose certificate was refused.
inline constexpr const char* kRetryDialogCertificate =
    "Setup was unable to download the file: the server's certificate was refused.";
// After a package that arrived without the digest the catalog gives.
inline constexpr const char* kRetryDialogDamaged =
    "Setup was unable to download the file: the package is damaged or was changed.";
inline constexpr const char* kRetryDialogProxyHint =
    "Setup may have been unable to migrate your current proxy settings. Click the Advanced "
    "button if you know your proxy settings.";
inline constexpr const char* kRetryDialogBusyHint =
    "The network may be busy, you can retry now or if you continue having this problem, please "
    "try setup at a later time.";
inline constexpr const char* kRetryLabel = "&Retry";
inline constexpr const char* kAdvancedLabel = "&Advanced";

class RetryDialogController {
 public:
  // Runs the Proxy Settings dialog modally, owned by this dialog.
  using ProxyDialogRunner = std::function<void()>;

  explicit RetryDialogController(ProxyDialogRunner runProxyDialog)
      : runProxyDialog_(std::move(runProxyDialog)) {}

  // WM_COMMAND; only notification code 0 is handled. Escape arrives as Cancel.
  DialogCommandResult onCommand(int controlId, int notificationCode);

 private:
  ProxyDialogRunner runProxyDialog_;
};

}  // namespace ks
