#pragma once
// Modal questions and messages. Texts and captions are the setup's own.

#include <string>

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

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MessageAnswer messageBox(const MessageBoxRequest& request) = 0;
  // The shell's folder-browse dialog with the given title; true with the
  // chosen folder in path, false (path untouched) when cancelled.
  virtual bool browseForFolder(const std::string& title, std::string& path) = 0;
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
