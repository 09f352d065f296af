#include "ui/headless/logged_dialogs.h"

#include <string>

#include "app/run_log.h"
#include "resources/dialog_templates.h"

namespace ks {

const char* messageAnswerName(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Ok:
      return "OK";
    case MessageAnswer::Cancel:
      return "Cancel";
    case MessageAnswer::Yes:
      return "Yes";
    case MessageAnswer::No:
      return "No";
    case MessageAnswer::Retry:
      return "Retry";
  }
  return "?";
}

MessageAnswer LoggedDialogs::messageBox(const MessageBoxRequest& request) {
  logLine("Message [" + request.caption + "]: " + request.text);
  const MessageAnswer answer = dialogs_.messageBox(request);
  logLine(std::string("  answered ") + messageAnswerName(answer));
  return answer;
}

int LoggedDialogs::runModalDialog(int templateId, ModalDialog& dialog) {
  const DialogTemplate* dialogTemplate = findDialogTemplate(templateId);
  logLine("Dialog " +
          (dialogTemplate ? std::string(dialogTemplate->caption) : std::to_string(templateId)));
  const int result = dialogs_.runModalDialog(templateId, dialog);
  logLine("  closed with " + std::to_string(result));
  return result;
}

bool LoggedDialogs::askPassword(const PasswordRequest& request, std::string& userName,
                                std::string& password) {
  logLine("Password question for " + request.server);
  const bool given = dialogs_.askPassword(request, userName, password);
  logLine(given ? "  answered" : "  declined");
  return given;
}

}  // namespace ks
