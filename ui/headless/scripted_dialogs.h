#pragma once
// Message boxes answered from a script: each expected box names its caption
// and text and the answer to give. A box nobody expected is a failure: it is
// recorded and answered with the most cautious answer (No, or Cancel).

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace ks {

class ScriptedDialogs : public Dialogs {
 public:
  struct Expected {
    std::string caption;
    std::string text;
    MessageAnswer answer;
    // Runs while the box is open, as the box's own event loop would handle
    // what other threads send meanwhile.
    std::function<void()> whileOpen;
  };

  void expect(std::string caption, std::string text, MessageAnswer answer,
              std::function<void()> whileOpen = {});
  // The next folder-browse dialog chooses folder (nullopt: Cancel).
  void expectBrowse(std::optional<std::string> folder);

  // The next modal dialog of templateId is driven by act, which gets the
  // dialog's view and controller and returns the dialog's result.
  using DialogScript = std::function<int(PageView& view, ModalDialog& dialog)>;
  void expectDialog(int templateId, DialogScript act);

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  bool browseForFolder(const std::string& title, std::string& path) override;
  int runModalDialog(int templateId, ModalDialog& dialog) override;

  // Boxes shown, in order.
  std::vector<MessageBoxRequest> shown;
  // One line per box or dialog that did not match the script.
  std::vector<std::string> failures;
  // True when every expected box was shown.
  bool scriptDone() const { return expected_.empty() && browses_.empty() && dialogs_.empty(); }

 private:
  std::deque<Expected> expected_;
  std::deque<std::optional<std::string>> browses_;
  std::deque<std::pair<int, DialogScript>> dialogs_;
};

}  // namespace ks
