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

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MessageAnswer messageBox(const MessageBoxRequest& request) = 0;
};

}  // namespace ks
