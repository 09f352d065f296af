#include "ui/headless/unattended_dialogs.h"

#include "download/dialog_result.h"
#include "download/retry_dialog.h"

namespace ks {

namespace {

const char* answerName(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Yes:
      return "Yes";
    case MessageAnswer::No:
      return "No";
    case MessageAnswer::Retry:
      return "Retry";
    case MessageAnswer::Cancel:
      return "Cancel";
    case MessageAnswer::Ok:
      return "OK";
  }
  return "?";
}

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
  out_ << "[" << request.caption << "] " << request.text << " -> " << answerName(answer) << "\n";
  out_.flush();
  return answer;
}

bool UnattendedDialogs::browseForFolder(const std::string&, std::string&) {
  return false;
}

int UnattendedDialogs::runModalDialog(int templateId, ModalDialog& dialog) {
  (void)dialog;
  if (templateId != kIddRetryDownload) return kIdCancel;
  const bool retry = retriesLeft_ > 0;
  if (retry) --retriesLeft_;
  out_ << "[" << kRetryDialogCaption << "] " << kRetryDialogProblem << " -> "
       << (retry ? "Retry" : "Cancel") << "\n";
  out_.flush();
  return retry ? kRetryResultRetry : kRetryResultCancel;
}

}  // namespace ks
