#pragma once
// The dialogs of a tool that runs without anyone to ask: password questions
// are declined, message boxes cancelled.

#include "platform/dialogs.h"

namespace ks::tool {

class UnattendedQuestions : public Dialogs {
 public:
  bool browseForFolder(const std::string&, std::string&) override { return false; }
  int runModalDialog(int, ModalDialog&) override { return 2; }
  MessageAnswer messageBox(const MessageBoxRequest&) override { return MessageAnswer::Cancel; }
};

}  // namespace ks::tool
