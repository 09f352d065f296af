#include "wizard/logged_page_view.h"

#include "app/printable_text.h"
#include "app/run_log.h"
#include "download/download_job.h"
#include "install/download_install_page.h"
#include "wizard/wizard_page.h"

namespace ks {

std::string LoggedPageView::title() {
  std::string text = view_.text(kIdcTitle);
  for (std::size_t at = text.find("&&"); at != std::string::npos; at = text.find("&&", at + 1)) {
    text.erase(at, 1);
  }
  return text;
}

// The status line (the version-info fetch and the package downloads share
// its id) and the line that says what comes from where.
void LoggedPageView::setText(int controlId, const std::string& text) {
  view_.setText(controlId, text);
  if (text.empty()) return;
  if (controlId == kIdcDownloadStatus) logLine("  " + printableText(text));
  if (controlId == kIdcDownloadSource) logLine("  Fetching " + printableText(text));
}

void LoggedPageView::clearList(int controlId) {
  view_.clearList(controlId);
  if (controlId == kIdcQueueList) queueRows_.clear();
}

int LoggedPageView::addListRow(int controlId, const std::string& text, int stateImage) {
  const int row = view_.addListRow(controlId, text, stateImage);
  if (controlId == kIdcQueueList) queueRows_[row] = text;
  return row;
}

void LoggedPageView::setListRowStateImage(int controlId, int row, int stateImage) {
  view_.setListRowStateImage(controlId, row, stateImage);
  if (controlId != kIdcQueueList || (stateImage != kRowDone && stateImage != kRowFailed)) return;
  logLine("  " + printableText(queueRows_[row]) + ": " +
          (stateImage == kRowDone ? "succeeded" : "failed"));
}

}  // namespace ks
