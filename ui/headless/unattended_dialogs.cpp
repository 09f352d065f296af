#include "ui/headless/unattended_dialogs.h"

#include "app/printable_text.h"
#include "download/dialog_result.h"
#include "download/retry_dialog.h"
#include "ui/headless/headless_page_view.h"
#include "ui/headless/logged_dialogs.h"

namespace ks {

namespace {

MessageAnswer continuingAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
      return MessageAnswer::Yes;
    case MessageButtons::RetryCancel:
      return MessageAnswer::Retry;
    default:
      return MessageAnswer::Ok;
  }
}

}  // namespace

MessageAnswer UnattendedDialogs::messageBox(const MessageBoxRequest& request) {
  const MessageAnswer answer = continuingAnswer(request.buttons);
  out_ << "[" << printableText(request.caption) << "] " << printableText(request.text) << " -> "
       << messageAnswerName(answer) << "\n";
  out_.flush();
  return answer;
}

bool UnattendedDialogs::browseForFolder(const std::string&, std::string&) {
  return false;
}

int UnattendedDialogs::runModalDialog(int templateId, ModalDialog& dialog) {
  if (templateId != kIddRetryDownload) return kIdCancel;
  HeadlessPageView view(templateId);
  dialog.onInit(view);
  const bool retry = retriesLeft_ > 0;
  if (retry) --retriesLeft_;
  out_ << "[" << kRetryDialogCaption << "] " << view.at(kIdcRetryProblem).text << " -> "
       << (retry ? "Retry" : "Cancel") << "\n";
  out_.flush();
  return retry ? kRetryResultRetry : kRetryResultCancel;
}

}  // namespace ks
