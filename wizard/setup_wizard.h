#pragma once
// The pages of the setup wizard in their fixed order, and the frame around
// them for a frontend to run.

#include <memory>
#include <vector>

#include "wizard/wizard_frame.h"

namespace ks {

// The pages in wizard order. The frontend shows the frame modally: it calls
// start(), forwards the user's buttons and clicks, and returns when closed().
std::vector<std::unique_ptr<WizardPage>> makeWizardPages(SetupContext& context);

}  // namespace ks
