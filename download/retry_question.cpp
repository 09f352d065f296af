#include "download/retry_question.h"

#include <optional>

#include "download/download_notify_window.h"
#include "download/proxy_dialog.h"
#include "download/retry_dialog.h"
#include "platform/dialogs.h"

namespace ks {

namespace {

class ProxySettingsDialog final : public ModalDialog {
 public:
  explicit ProxySettingsDialog(SetupState& state) : state_(state) {}
  void onInit(PageView& view) override {
    controller_.emplace(view, state_);
    controller_->onInit();
  }
  DialogCommandResult onCommand(int controlId) override {
    return controller_ ? controller_->onCommand(controlId, 0) : endDialog(kIdCancel);
  }

 private:
  SetupState& state_;
  std::optional<ProxyDialogController> controller_;
};

// The problem line for the cause of the last failure; null for the
// dialog's own.
const char* problemText(std::intptr_t cause) {
  switch (cause) {
    case kDownloadEndTooSlow:
      return kRetryDialogTooSlow;
    case kDownloadEndCertificate:
      return kRetryDialogCertificate;
    case kDownloadEndHashMismatch:
      return kRetryDialogDamaged;
    default:
      return nullptr;
  }
}

class RetryDialog final : public ModalDialog {
 public:
  RetryDialog(SetupContext& context, std::intptr_t cause)
      : controller_([&context] {
          ProxySettingsDialog proxy(context.state);
          context.platform.dialogs->runModalDialog(kIddProxySettings, proxy);
        }),
        problem_(problemText(cause)) {}
  void onInit(PageView& view) override {
    if (problem_ != nullptr) view.setText(kIdcRetryProblem, problem_);
  }
  DialogCommandResult onCommand(int controlId) override {
    return controller_.onCommand(controlId, 0);
  }

 private:
  RetryDialogController controller_;
  const char* problem_;
};

}  // namespace

bool askRetryDownload(SetupContext& context, std::intptr_t cause) {
  RetryDialog dialog(context, cause);
  return context.platform.dialogs->runModalDialog(kIddRetryDownload, dialog) == kRetryResultRetry;
}

}  // namespace ks
