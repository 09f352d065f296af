#pragma once
// The wizard road of runSetup on the Qt frontend: the wizard window shown
// modally, and afterwards the drain of the events it left behind up to the
// first quit request.

#include <memory>
#include <vector>

#include "app/start_up.h"
#include "ui/qt/qt_wizard_view.h"
#include "wizard/wizard_frame.h"

class QEventLoop;

namespace ks {

// A wizard window with its frame, shown without blocking (tests drive it).
class QtWizard {
 public:
  QtWizard(SetupContext& context, std::vector<std::unique_ptr<WizardPage>> pages);
  // Turns to the first page and shows the window.
  void start();
  QtWizardView& view() { return view_; }
  WizardFrame& frame() { return frame_; }

 private:
  QtWizardView view_;
  WizardFrame frame_;
};

// Lives as long as the program: the quit requests the closing wizard posts
// reach it after the wizard is gone.
class QtSetupRun {
 public:
  // The roads for runSetup; this object must outlive the call.
  SetupRoads roads();

  // Shows the wizard of makeWizardPages and returns when it has closed, with
  // the run's exit code.
  int runWizard(SetupContext& context);
  // Handles queued events until a quit request has been handled; returns its
  // code (0).
  int drainMessages();

 private:
  void quitRequested();

  int quitRequests_ = 0;
  QEventLoop* drain_ = nullptr;
};

}  // namespace ks
