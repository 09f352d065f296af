#pragma once
// The program's entry: platform check, setup state, then the uninstall road
// or the wizard.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/setup_context.h"
#include "app/uninstall.h"

namespace ks {

// The roads start-up dispatches to.
struct SetupRoads {
  // Runs the wizard modally; returns its exit code (normally
  // wizardExitCode) when it has closed.
  std::function<int(SetupContext&)> runWizard;
  // Removes the installed application.
  std::function<UninstallResult(SetupContext&)> uninstallApplication = [](SetupContext& context) {
    return ks::uninstallApplication(context);
  };
  // Handles the messages the closing wizard left behind, up to the quit
  // request; returns the quit request's code.
  std::function<int()> drainMessages;
};

inline constexpr std::string_view kUninstallArgument = "-uninstall";

// True when one of the arguments is exactly "-uninstall" (what the uninstall
// entry passes); an argument that merely contains it is something else.
bool asksForUninstall(const std::vector<std::string>& arguments);

// Fills the fixed paths and the previous installation folder; always succeeds.
void initSetupState(SetupContext& context);

// Exit codes of the uninstall road.
inline constexpr int kExitUninstalled = 0;  // also when the user declined
inline constexpr int kExitUninstallIncomplete = 1;
// Exit codes of a wizard run.
inline constexpr int kExitCompleted = 0;  // every selected component succeeded
inline constexpr int kExitIncomplete = 1;
inline constexpr int kExitCancelled = 3;  // the user cancelled the setup

// 3 when the user cancelled; 1 when a selected component failed or was never
// processed, or the setup could not copy itself beside the installation (or
// an uninstallation from the first page left parts behind); else 0.
int wizardExitCode(const SetupContext& context);

// Runs the setup for the arguments after the program name; returns the
// process exit code.
int runSetup(SetupContext& context, const std::vector<std::string>& arguments,
             const SetupRoads& roads);

}  // namespace ks
