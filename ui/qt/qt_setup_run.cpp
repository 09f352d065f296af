#include "ui/qt/qt_setup_run.h"

#include <QDialog>
#include <QEventLoop>

#include "install/package_contents.h"
#include "wizard/setup_wizard.h"

namespace ks {

QtWizard::QtWizard(SetupContext& context, std::vector<std::unique_ptr<WizardPage>> pages)
    : frame_(view_, *context.platform.ui, std::move(pages)) {
  view_.attach(frame_);
}

void QtWizard::start() {
  frame_.start();
  view_.window().show();
}

SetupRoads QtSetupRun::roads() {
  SetupRoads roads;
  roads.runWizard = [this](SetupContext& context) { return runWizard(context); };
  roads.drainMessages = [this] { return drainMessages(); };
  roads.uninstallApplication = [](SetupContext& context) {
    return uninstallApplication(context, packageContents);
  };
  return roads;
}

int QtSetupRun::runWizard(SetupContext& context) {
  QtWizard wizard(context, makeWizardPages(context));
  QEventLoop loop;
  wizard.view().onClosed([&loop] { loop.quit(); });
  wizard.view().onQuitRequest([this] { quitRequested(); });
  wizard.start();
  if (!wizard.frame().closed()) loop.exec();
  return wizardExitCode(context);
}

void QtSetupRun::quitRequested() {
  ++quitRequests_;
  if (drain_) drain_->quit();
}

int QtSetupRun::drainMessages() {
  if (quitRequests_ > 0) return 0;
  QEventLoop loop;
  drain_ = &loop;
  loop.exec();
  drain_ = nullptr;
  return 0;
}

}  // namespace ks
