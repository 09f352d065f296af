#include "ui/headless/unattended_dialogs.h"

#include <string>
#include <string_view>

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

// A message's own line breaks become one space each run of them, so the
// message stays on its line of the output.
std::string oneLine(std::string_view text) {
  std::string line;
  bool breaking = false;
  for (char c : text) {
    const bool lineBreak = c == '\n' || c == '\r';
    if (lineBreak && !breaking && !line.empty()) line += ' ';
    if (!lineBreak) line += c;
    breaking = lineBreak;
  }
  return line;
}

}  // namespace

MessageAnswer UnattendedDialogs::messageBox(const MessageBoxRequest& request) {
  const MessageAnswer answer = continuingAnswer(request.buttons);
  out_ << "[" << printableText(request.caption) << "] " << printableText(oneLine(request.text))
       << " -> " << messageAnswerName(answer) << "\n";
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
