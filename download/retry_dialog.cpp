#include "download/retry_dialog.h"

namespace ks {

DialogCommandResult RetryDialogController::onCommand(int controlId, int notificationCode) {
  if (notificationCode != 0) return kDialogStaysOpen;
  switch (controlId) {
    case kIdOk:
      return endDialog(kRetryResultRetry);
    case kIdCancel:
      return endDialog(kRetryResultCancel);
    case kIdcAdvanced:
      // The proxy dialog's result does not matter: this one waits for the
      // next button either way.
      runProxyDialog_();
      return kDialogStaysOpen;
    default:
      return kDialogStaysOpen;
  }
}

}  // namespace ks
