#pragma once
// The wizard frame as its controller sees it: a window that holds the pages,
// shows one of them, and has the Back, Next, Finish and Cancel buttons.
// Either the window turns the pages itself and tells the frame (a property
// sheet: WizardWindow), or the frame turns them (WizardView).

#include "platform/page_view.h"

namespace ks {

// Button sets a page requests (the bits of PSM_SETWIZBUTTONS). Our own names,
// so the core never meets the macros of <prsht.h>.
namespace WizardButton {
inline constexpr unsigned kBack = 0x1;
inline constexpr unsigned kNext = 0x2;
inline constexpr unsigned kFinish = 0x4;
}  // namespace WizardButton

struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class WizardWindow {
 public:
  virtual ~WizardWindow() = default;
  virtual void setButtons(unsigned buttons) = 0;
  // The owner's (the desktop's) rectangle and the frame's own.
  virtual WindowRect ownerRect() = 0;
  virtual WindowRect frameRect() = 0;
  virtual void moveFrame(int left, int top) = 0;
  // The wizard has ended: the frame goes away.
  virtual void close() = 0;
  // A destroyed page's quit request (PostQuitMessage 0).
  virtual void postQuitRequest() = 0;
};

// A wizard window whose pages the frame turns.
class WizardView : public WizardWindow {
 public:
  // Creates the page of a dialog template with all its controls and their
  // template texts; the view lives as long as the wizard.
  virtual PageView& createPage(int templateId) = 0;
  virtual void showPage(int templateId) = 0;
};

}  // namespace ks
