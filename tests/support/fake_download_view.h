#pragma once
// A dialog or page view that keeps what its controller shows: texts, enable
// and check states, progress positions by control id.

#include <map>
#include <string>
#include <vector>

#include "ui/headless/silent_page_view.h"

namespace ks::test {

class FakeDownloadView : public SilentPageView {
 public:
  std::map<int, std::string> texts;
  std::map<int, bool> enabled;
  std::map<int, bool> visible;
  std::map<int, bool> checked;
  std::map<int, int> positions;
  std::vector<std::string> textLog;  // "<id> <text>" in the order written

  void setText(int controlId, const std::string& text) override {
    texts[controlId] = text;
    textLog.push_back(std::to_string(controlId) + " " + text);
  }
  std::string text(int controlId) override { return texts[controlId]; }
  void enable(int controlId, bool on) override { enabled[controlId] = on; }
  void show(int controlId, bool on) override { visible[controlId] = on; }
  void check(int controlId, bool on) override { checked[controlId] = on; }
  bool isChecked(int controlId) override { return checked[controlId]; }
  void setProgressPosition(int controlId, int position) override {
    positions[controlId] = position;
  }
};

}  // namespace ks::test
