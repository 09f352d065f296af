#pragma once
// The frontend's dialogs with every message and its answer written to the
// run log (app/run_log.h) on the way.

#include "platform/dialogs.h"

namespace ks {

// "OK", "Cancel", "Yes", "No", "Retry".
const char* messageAnswerName(MessageAnswer answer);

class LoggedDialogs final : public Dialogs {
 public:
  explicit LoggedDialogs(Dialogs& dialogs) : dialogs_(dialogs) {}

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  bool browseForFolder(const std::string& title, std::string& path) override {
    return dialogs_.browseForFolder(title, path);
  }
  int runModalDialog(int templateId, ModalDialog& dialog) override;
  bool askPassword(const PasswordRequest& request, std::string& userName,
                   std::string& password) override;

 private:
  Dialogs& dialogs_;
};

}  // namespace ks
