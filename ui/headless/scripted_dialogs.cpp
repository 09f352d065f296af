#include "ui/headless/scripted_dialogs.h"

#include "ui/headless/headless_page_view.h"

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

void ScriptedDialogs::expect(std::string caption, std::string text, MessageAnswer answer,
                             std::function<void()> whileOpen) {
  expected_.push_back({std::move(caption), std::move(text), answer, std::move(whileOpen)});
}

void ScriptedDialogs::expectBrowse(std::optional<std::string> folder) {
  browses_.push_back(std::move(folder));
}

void ScriptedDialogs::expectDialog(int templateId, DialogScript act) {
  dialogs_.emplace_back(templateId, std::move(act));
}

int ScriptedDialogs::runModalDialog(int templateId, ModalDialog& dialog) {
  constexpr int kCancelled = 2;
  if (dialogs_.empty() || dialogs_.front().first != templateId) {
    failures.push_back("unexpected dialog " + std::to_string(templateId));
    return kCancelled;
  }
  DialogScript act = std::move(dialogs_.front().second);
  dialogs_.pop_front();
  HeadlessPageView view(templateId);
  dialog.onInit(view);
  const int result = act(view, dialog);
  for (int id : view.rejectedControls()) {
    failures.push_back("dialog " + std::to_string(templateId) + " has no control " +
                       std::to_string(id));
  }
  return result;
}

MessageAnswer ScriptedDialogs::messageBox(const MessageBoxRequest& request) {
  shown.push_back(request);
  if (expected_.empty() || expected_.front().caption != request.caption ||
      expected_.front().text != request.text) {
    failures.push_back("unexpected message box [" + request.caption + "] " + request.text);
    return cautiousAnswer(request.buttons);
  }
  const Expected box = std::move(expected_.front());
  expected_.pop_front();
  if (box.whileOpen) box.whileOpen();
  return box.answer;
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
