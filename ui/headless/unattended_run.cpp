#include "ui/headless/unattended_run.h"

#include <chrono>
#include <memory>

#include "app/printable_text.h"
#include "app/start_up.h"
#include "catalog/component_options_page.h"
#include "install/download_install_page.h"
#include "install/integration_page.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/headless_wizard_view.h"
#include "wizard/download_location_page.h"
#include "wizard/folder_pages.h"
#include "wizard/setup_options_page.h"
#include "wizard/setup_wizard.h"

namespace ks {

namespace {

// Downloads end by themselves (a silent server fails after a minute), so
// this only guards against a setup that never finishes.
constexpr auto kWorkTimeout = std::chrono::hours(12);

// A template text as the user reads it: "&&" is a literal "&".
std::string readable(std::string text) {
  for (std::size_t at = text.find("&&"); at != std::string::npos; at = text.find("&&", at + 1)) {
    text.erase(at, 1);
  }
  return text;
}

class UnattendedRun {
 public:
  UnattendedRun(SetupContext& context, const UnattendedOptions& options, std::ostream& out,
                UiThreadLoop& ui)
      : context_(context), options_(options), out_(out), ui_(ui) {}

  int run();

 private:
  HeadlessPageView& page() { return *view_.currentPage(); }
  void click(int controlId);
  // Presses Next; false (after saying so) when the wizard stays on the page.
  bool next();
  bool actOnPage(int templateId);
  bool onSetupOptions();
  bool onComponentOptions();
  bool onDestinationFolders();
  bool onDownloadAndInstall();
  bool onIntegration();
  void chooseComponents();
  int summary();

  SetupContext& context_;
  const UnattendedOptions& options_;
  std::ostream& out_;
  UiThreadLoop& ui_;
  HeadlessWizardView view_;
  std::unique_ptr<WizardFrame> frame_;
  bool versionInfoAborted_ = false;
  bool reachedEnd_ = false;
  bool folderRefused_ = false;
  std::vector<HeadlessPageView::Control::Item> outcomes_;
};

void UnattendedRun::click(int controlId) {
  if (page().userClick(controlId)) frame_->command(controlId);
  ui_.runPending();
}

bool UnattendedRun::next() {
  const int before = view_.shownPage;
  const std::size_t shows = view_.shownHistory.size();
  frame_->next();
  ui_.runPending();
  if (frame_->closed() || view_.shownHistory.size() != shows) return true;
  out_ << "Setup stays on page " << before << ".\n";
  return false;
}

bool UnattendedRun::onSetupOptions() {
  const int option = options_.mode == SETUP_MODE_INTERNET ? kIdcOptionInternet
                     : options_.mode == SETUP_MODE_LOCAL  ? kIdcOptionLocal
                                                          : kIdcOptionDownloadOnly;
  click(option);
  if (options_.deleteAfterInstall) click(kIdcDeleteAfterInstall);
  return next();
}

bool UnattendedRun::onComponentOptions() {
  ui_.runUntil([&] { return context_.state.catalogLoaded == 1 || versionInfoAborted_; },
               kWorkTimeout);
  ui_.runPending();
  if (!context_.state.catalogLoaded) return false;
  chooseComponents();
  if (!(view_.buttons & WizardButton::kNext)) {
    out_ << "No component is selected.\n";
    return false;
  }
  return next();
}

// Ticks or unticks the components' boxes as the options say; "required"
// keeps the page's own pre-selection.
void UnattendedRun::chooseComponents() {
  if (options_.components == UnattendedOptions::Components::Required) return;
  const auto rows = page().at(kIdcComponentTree).rows;
  for (const auto& item : rows) {
    if (item.parent == 0) continue;  // a group
    bool wanted = true;
    if (options_.components == UnattendedOptions::Components::Titles) {
      wanted = false;
      for (const std::string& title : options_.titles) wanted = wanted || title == item.text;
    }
    const bool ticked = page().treeItem(kIdcComponentTree, item.handle)->stateImage == kStateTicked;
    if (wanted != ticked) frame_->treeStateClick(kIdcComponentTree, item.handle);
    ui_.runPending();
  }
}

bool UnattendedRun::onDestinationFolders() {
  if (!options_.installDir.empty()) page().userType(kIdcInstallEdit, options_.installDir);
  if (!options_.downloadDir.empty()) page().userType(kIdcDownloadEdit, options_.downloadDir);
  if (next()) return true;
  const SetupState& state = context_.state;
  const bool installing = options_.mode != SETUP_MODE_DOWNLOAD_ONLY;
  folderRefused_ = (installing && !installFolderRefusal(context_, state.installDir).empty()) ||
                   (options_.mode != SETUP_MODE_LOCAL &&
                    !folderPathRefusal(context_, state.downloadDir).empty());
  return false;
}

bool UnattendedRun::onDownloadAndInstall() {
  ui_.runUntil([&] { return view_.buttons == (WizardButton::kBack | WizardButton::kNext); },
               kWorkTimeout);
  outcomes_ = page().at(kIdcQueueList).rows;
  return next();
}

bool UnattendedRun::onIntegration() {
  if (options_.desktop) click(kIdcAddToDesktop);
  if (options_.programs) click(kIdcAddToUserPrograms);
  if (options_.commonPrograms) click(kIdcAddToCommonPrograms);
  return next();
}

bool UnattendedRun::actOnPage(int templateId) {
  switch (templateId) {
    case kSetupOptionsTemplate:
      return onSetupOptions();
    case kLocalArchiveTemplate:
      if (!options_.archiveDir.empty()) page().userType(kIdcLocalArchiveEdit, options_.archiveDir);
      return next();
    case kComponentOptionsTemplate:
      return onComponentOptions();
    case kDestinationFoldersTemplate:
      return onDestinationFolders();
    case kDownloadLocationTemplate:
      if (options_.site) page().userSelect(kIdcSiteList, *options_.site);
      return next();
    case kDownloadInstallTemplate:
      return onDownloadAndInstall();
    case kIntegrationTemplate:
      return onIntegration();
    default:
      reachedEnd_ = true;
      frame_->finish();
      return true;
  }
}

int UnattendedRun::summary() {
  const bool installing = options_.mode != SETUP_MODE_DOWNLOAD_ONLY;
  out_ << "Summary:\n";
  for (const auto& row : outcomes_) {
    const char* outcome = row.stateImage == kRowDone     ? (installing ? "installed" : "downloaded")
                          : row.stateImage == kRowFailed ? "failed"
                                                         : "not done";
    out_ << "  " << printableText(row.text) << ": " << outcome << "\n";
  }
  if (outcomes_.empty()) out_ << "  no component was processed\n";
  if (installing && context_.installation.setupCopy == InstallationRecord::SetupCopy::Failed) {
    out_ << "  uninstall entry: not written, Setup could not copy itself into the installation "
            "folder\n";
  }
  if (folderRefused_) return kUnattendedUsageError;
  return reachedEnd_ ? wizardExitCode(context_) : kExitIncomplete;
}

int UnattendedRun::run() {
  context_.platform.ui = &ui_;
  if (!options_.proxy.empty()) {
    context_.state.useProxy = 1;
    context_.state.proxyServer = options_.proxy;
  }
  view_.onShow = [&](int templateId) {
    out_ << "== " << readable(view_.page(templateId)->at(kIdcTitle).text) << "\n";
  };
  view_.onText = [&](int templateId, int controlId, const std::string& text) {
    if (controlId != kIdcVersionStatus || text.empty() || templateId != view_.shownPage) return;
    out_ << "   " << printableText(text) << "\n";
    versionInfoAborted_ = versionInfoAborted_ || text == kVersionInfoAborted;
  };
  frame_ = std::make_unique<WizardFrame>(view_, ui_, makeWizardPages(context_));
  frame_->start();
  ui_.runPending();
  while (!frame_->closed() && actOnPage(view_.shownPage)) {
  }
  if (!frame_->closed()) frame_->finish();  // stuck: end the wizard as Finish would
  out_.flush();
  context_.platform.ui = nullptr;
  return summary();
}

}  // namespace

std::string refusedFolderOption(SetupContext& context, const UnattendedOptions& options) {
  if (!options.installDir.empty()) {
    if (std::string refusal = installFolderRefusal(context, options.installDir); !refusal.empty()) {
      return refusal;
    }
  }
  for (const std::string* folder : {&options.downloadDir, &options.archiveDir}) {
    if (folder->empty()) continue;
    if (std::string refusal = folderPathRefusal(context, *folder); !refusal.empty()) return refusal;
  }
  return {};
}

int runUnattendedWizard(SetupContext& context, const UnattendedOptions& options,
                        std::ostream& out) {
  HeadlessDispatcher ui;
  return runUnattendedWizard(context, options, out, ui);
}

int runUnattendedWizard(SetupContext& context, const UnattendedOptions& options, std::ostream& out,
                        UiThreadLoop& ui) {
  UnattendedRun run(context, options, out, ui);
  return run.run();
}

}  // namespace ks
