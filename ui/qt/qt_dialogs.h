#pragma once
// Message boxes, the folder-browse dialog, the template dialogs and the
// password question as Qt dialogs. Each runs on the UI thread: a call from a
// worker (the password question of a download) waits there for the answer.

#include "platform/dialogs.h"
#include "ui/qt/qt_ui_dispatcher.h"

class QWidget;

namespace ks {

class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QtUiDispatcher& ui) : ui_(ui) {}

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  bool browseForFolder(const std::string& title, std::string& path) override;
  int runModalDialog(int templateId, ModalDialog& dialog) override;
  bool askPassword(const PasswordRequest& request, std::string& userName,
                   std::string& password) override;

 private:
  QtUiDispatcher& ui_;
};

// The window that owns a dialog shown now: the active modal dialog or
// window, or none.
QWidget* dialogOwner();

}  // namespace ks
