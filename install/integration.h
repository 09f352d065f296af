#pragma once
// What the Integration page does on Next: the installation is registered
// again (install/installation_record.h) and the shortcuts the user ticked are
// made. A run that installed nothing does neither. Every failure is silent.

#include "app/setup_context.h"

namespace ks {

struct IntegrationChoices {
  bool desktop = false;         // "Add to Desktop"
  bool userPrograms = false;    // "Add to user's program groups"
  bool commonPrograms = false;  // "Add to common program groups"
};

inline constexpr const char* kDisplayName = "Kestrova";
inline constexpr const char* kApplicationProgram = "Kestrova.exe";

// Writes "Install Directory", the manifest, "DisplayName" and
// "UninstallString" (the last two once the setup copy is there), then the
// chosen shortcuts, in that order. A program folder that can't be created
// stops all program-group shortcuts, the common ones included.
void integrateApplication(SetupContext& context, const IntegrationChoices& choices);

// "\"<installDir><separator><setupFileName>\" -uninstall": the program path
// quoted, as a command line under a folder with blanks needs it.
std::string uninstallCommand(const SetupState& state);

}  // namespace ks
