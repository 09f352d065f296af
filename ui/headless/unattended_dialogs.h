#pragma once
// The answers of an unattended run: every question gets the answer that
// continues the installation (create the folder, mark the package for
// download, uninstall), the Retry dialog gets Retry a set number of times and
// then Cancel, password questions are declined. Every box is printed.

#include <ostream>

#include "platform/dialogs.h"

namespace ks {

class UnattendedDialogs final : public Dialogs {
 public:
  UnattendedDialogs(std::ostream& out, int retries) : out_(out), retriesLeft_(retries) {}

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  bool browseForFolder(const std::string& title, std::string& path) override;
  int runModalDialog(int templateId, ModalDialog& dialog) override;

 private:
  std::ostream& out_;
  int retriesLeft_;
};

}  // namespace ks
