#pragma once
// What the Integration page does on Next: the installation folder and the
// uninstall entry go into the registry, and the shortcuts the user ticked are
// made. Every failure is silent.

#include "app/setup_context.h"

namespace ks {

struct IntegrationChoices {
  bool desktop = false;         // "Add to Desktop"
  bool userPrograms = false;    // "Add to user's program groups"
  bool commonPrograms = false;  // "Add to common program groups"
};

inline constexpr const char* kDisplayName = "Kestrova";
inline constexpr const char* kApplicationProgram = "Kestrova.exe";

// Writes "Install Directory", "DisplayName" and "UninstallString", then the
// chosen shortcuts, in that order. A program folder that can't be created
// stops all program-group shortcuts, the common ones included.
void integrateApplication(SetupContext& context, const IntegrationChoices& choices);

// "\"<installDir><separator><setupFileName>\" -uninstall": the program path
// quoted, as a command line under a folder with blanks needs it.
std::string uninstallCommand(const SetupState& state);

}  // namespace ks
