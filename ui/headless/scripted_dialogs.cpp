#include "ui/headless/scripted_dialogs.h"

namespace ks {

namespace {

MessageAnswer cautiousAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    default:
      return MessageAnswer::Cancel;
  }
}

}  // namespace

void ScriptedDialogs::expect(std::string caption, std::string text, MessageAnswer answer) {
  expected_.push_back({std::move(caption), std::move(text), answer});
}

void ScriptedDialogs::expectBrowse(std::optional<std::string> folder) {
  browses_.push_back(std::move(folder));
}

MessageAnswer ScriptedDialogs::messageBox(const MessageBoxRequest& request) {
  shown.push_back(request);
  if (expected_.empty() || expected_.front().caption != request.caption ||
      expected_.front().text != request.text) {
    failures.push_back("unexpected message box [" + request.caption + "] " + request.text);
    return cautiousAnswer(request.buttons);
  }
  const MessageAnswer answer = expected_.front().answer;
  expected_.pop_front();
  return answer;
}

bool ScriptedDialogs::browseForFolder(const std::string& title, std::string& path) {
  if (browses_.empty()) {
    failures.push_back("unexpected folder dialog: " + title);
    return false;
  }
  const std::optional<std::string> folder = browses_.front();
  browses_.pop_front();
  if (!folder) return false;
  path = *folder;
  return true;
}

}  // namespace ks
