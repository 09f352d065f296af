#pragma once
// Message boxes (MessageBoxW), the shell's folder-browse dialog
// (SHBrowseForFolderW), the template dialogs and the password question
// (DialogBoxIndirectParamW). Each runs on the user-interface thread: a call
// from a worker (the password question of a download) is sent there and
// waits for the answer. A dialog is owned by the window active on that
// thread: the wizard, or the dialog it opened.

#include <windows.h>

#include <functional>

#include "platform/dialogs.h"
#include "platform/ui_dispatcher.h"
#include "resources/dialog_templates.h"

namespace ks {

class Win32PageView;

class Win32Dialogs final : public Dialogs {
 public:
  Win32Dialogs(UiDispatcher& ui, HINSTANCE instance) : ui_(ui), instance_(instance) {}

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  bool browseForFolder(const std::string& title, std::string& path) override;
  int runModalDialog(int templateId, ModalDialog& dialog) override;
  bool askPassword(const PasswordRequest& request, std::string& userName,
                   std::string& password) override;

 private:
  // On the user-interface thread: the dialog of a template, driven by its
  // controller; prepare sees the view before the controller does.
  int runDialog(const DialogTemplate& dialog, ModalDialog& controller,
                const std::function<void(Win32PageView&)>& prepare);

  UiDispatcher& ui_;
  HINSTANCE instance_;
};

// The window a dialog shown now belongs to: the active window of the
// calling thread, or none.
HWND dialogOwner();

}  // namespace ks
