#pragma once
// Runs the wizard without windows, as the unattended options say: the same
// page controllers, driven through the headless frontend.

#include <ostream>

#include "app/setup_context.h"
#include "platform/ui_dispatcher.h"
#include "ui/headless/unattended_options.h"

namespace ks {

// Exit code of a run whose options or folders can't be used.
inline constexpr int kUnattendedUsageError = 2;

// Drives the wizard from the first page to Finish (or as far as it can go).
// The context's ports must be set except the UI thread, which this run
// provides. Prints every page title and status line, then one summary line
// per selected component. Returns 0 only when every selected component
// succeeded, kUnattendedUsageError when the Destination Folders page refused
// a folder.
int runUnattendedWizard(SetupContext& context, const UnattendedOptions& options, std::ostream& out);
// The same on a user-interface thread of the caller's (the thread that made
// ui runs the wizard).
int runUnattendedWizard(SetupContext& context, const UnattendedOptions& options, std::ostream& out,
                        UiThreadLoop& ui);

// Why a folder named in the options can't be used (as the Destination
// Folders page would say it), or "" when all can: checked before the run
// writes anything.
std::string refusedFolderOption(SetupContext& context, const UnattendedOptions& options);

}  // namespace ks
