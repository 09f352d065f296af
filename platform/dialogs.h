#pragma once
// Modal questions and messages. Texts and captions are the setup's own.

#include <string>

#include "platform/page_view.h"

namespace ks {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  // False for a box shown without an owner window.
  bool owned = true;
};

// The password question of a server (401) or a proxy (407) that wants a
// name and password.
struct PasswordRequest {
  std::string server;  // host of the server, or the proxy as configured
  bool proxy = false;
};

// What a modal dialog's controller answers to a command: keep the dialog
// open, or end it with a result (IDOK 1, IDCANCEL 2, ...).
struct DialogCommandResult {
  bool ends = false;
  int result = 0;
};

// A modal dialog's controller, as the frontend drives it.
class ModalDialog {
 public:
  virtual ~ModalDialog() = default;
  // WM_INITDIALOG: the dialog's controls exist with their template texts.
  virtual void onInit(PageView& view) = 0;
  // A click on a button or box (notification code 0); Escape and the
  // window's close box arrive as IDCANCEL (2).
  virtual DialogCommandResult onCommand(int controlId) = 0;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MessageAnswer messageBox(const MessageBoxRequest& request) = 0;
  // The shell's folder-browse dialog with the given title; true with the
  // chosen folder in path, false (path untouched) when cancelled.
  virtual bool browseForFolder(const std::string& title, std::string& path) = 0;
  // Shows the dialog of a template modally and returns its result.
  virtual int runModalDialog(int templateId, ModalDialog& dialog) = 0;
  // Asks for a name and password; false when the user declined. Without a
  // user to ask, the question is declined.
  virtual bool askPassword(const PasswordRequest& request, std::string& userName,
                           std::string& password) {
    (void)request;
    (void)userName;
    (void)password;
    return false;
  }
};

}  // namespace ks
