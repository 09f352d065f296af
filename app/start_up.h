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
  // Runs the wizard modally; returns when it has closed.
  std::function<void(SetupContext&)> runWizard;
  // Removes the installed application; 1 when both registry keys went, else 0.
  std::function<int(SetupContext&)> uninstallApplication = ks::uninstallApplication;
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

// Runs the setup for the arguments after the program name; returns the
// process exit code (0 on every road).
int runSetup(SetupContext& context, const std::vector<std::string>& arguments,
             const SetupRoads& roads);

}  // namespace ks
