#pragma once
// A page for the download worker that records, in order, every message,
// text and progress-bar position it receives.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "download/download_job.h"
#include "download/download_notify_window.h"

namespace ks::test {

class FakeNotifyWindow : public DownloadNotifyWindow {
 public:
  // "message 1034 0" (lParam added when not 0), "text 1042 Connecting ...", "bar 1032 0"
  std::vector<std::string> events;
  std::atomic<bool> open{true};

  bool isWindow() override { return open; }
  void sendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    events.push_back("message " + std::to_string(message) + " " + std::to_string(wParam) +
                     (lParam != 0 ? " " + std::to_string(lParam) : std::string()));
  }
  void setDlgItemText(int controlId, const std::string& text) override {
    events.push_back("text " + std::to_string(controlId) + " " + text);
  }
  void setProgressPosition(int controlId, int position) override {
    events.push_back("bar " + std::to_string(controlId) + " " + std::to_string(position));
  }

  // The texts written to one control, in order.
  std::vector<std::string> texts(int controlId) const {
    const std::string prefix = "text " + std::to_string(controlId) + " ";
    std::vector<std::string> found;
    for (const std::string& event : events) {
      if (event.rfind(prefix, 0) == 0) found.push_back(event.substr(prefix.size()));
    }
    return found;
  }
};

// A job that writes to a page's controls as the worker's job does (1042,
// 1064, 1065, 1067 and the bar 1032).
inline void pointJobAtPage(DownloadJob& job, DownloadNotifyWindow& window, const std::string* url,
                           const std::string* target) {
  job.window = &window;
  job.statusControlId = 1042;
  job.sourceControlId = 1064;
  job.folderControlId = 1065;
  job.progressControlId = 1067;
  job.progressBarControlId = 1032;
  job.url = url;
  job.targetPath = target;
}

}  // namespace ks::test
