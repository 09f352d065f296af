#include "download/retry_question.h"

#include <optional>

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

class RetryDialog final : public ModalDialog {
 public:
  RetryDialog(SetupContext& context, bool tooSlow)
      : controller_([&context] {
          ProxySettingsDialog proxy(context.state);
          context.platform.dialogs->runModalDialog(kIddProxySettings, proxy);
        }),
        tooSlow_(tooSlow) {}
  void onInit(PageView& view) override {
    if (tooSlow_) view.setText(kIdcRetryProblem, kRetryDialogTooSlow);
  }
  DialogCommandResult onCommand(int controlId) override {
    return controller_.onCommand(controlId, 0);
  }

 private:
  RetryDialogController controller_;
  bool tooSlow_;
};

}  // namespace

bool askRetryDownload(SetupContext& context, bool tooSlow) {
  RetryDialog dialog(context, tooSlow);
  return context.platform.dialogs->runModalDialog(kIddRetryDownload, dialog) == kRetryResultRetry;
}

}  // namespace ks
