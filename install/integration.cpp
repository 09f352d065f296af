#include "install/integration.h"

#include <string>

#include "app/paths.h"
#include "install/installation_record.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace ks {

namespace {

constexpr const char* kProgramGroup = "Kestrova";
constexpr const char* kUninstallDescription = "Uninstall";
constexpr const char* kReadMeDescription = "ReadMe";
constexpr const char* kReadMeFile = "readme.txt";

std::string shortcutName(Shell& shell, const char* base) {
  return std::string(base) + shell.shortcutExtension();
}

void linkDesktop(SetupContext& context) {
  std::string desktop;
  if (!context.platform.shell->specialFolder(SpecialFolder::Desktop, desktop)) return;
  const std::string link =
      desktop + kPathSeparator + shortcutName(*context.platform.shell, kDisplayName);
  if (!pathFits(*context.platform.fileSystem, link)) return;
  context.platform.shell->createShortcut(joinPath(context.state.installDir, kApplicationProgram),
                                         link, kDisplayName);
}

// The program group below a special folder, created when missing (a link in
// its place is replaced by a real folder); false when it can't be had.
bool programGroup(SetupContext& context, SpecialFolder where, std::string& group) {
  std::string programs;
  if (!context.platform.shell->specialFolder(where, programs)) return false;
  group = joinPath(programs, kProgramGroup);
  if (!pathFits(*context.platform.fileSystem,
                joinPath(group, shortcutName(*context.platform.shell, kUninstallDescription)))) {
    return false;
  }
  return context.platform.fileSystem->ensureFolder(programs, kProgramGroup);
}

void linkProgramGroup(SetupContext& context, const std::string& group) {
  Shell& shell = *context.platform.shell;
  const SetupState& state = context.state;
  const auto link = [&](const char* base) {
    return group + kPathSeparator + shortcutName(shell, base);
  };
  shell.createShortcut(joinPath(state.installDir, kApplicationProgram), link(kDisplayName),
                       kDisplayName);
  shell.createShortcut(joinPath(state.installDir, state.setupFileName), link(kUninstallDescription),
                       kUninstallDescription);
  shell.createShortcut(joinPath(state.installDir, kReadMeFile), link(kReadMeDescription),
                       kReadMeDescription);
}

}  // namespace

// The program path is quoted, so the command works under a folder with blanks.
std::string uninstallCommand(const SetupState& state) {
  return '"' + joinPath(state.installDir, state.setupFileName) + "\" -uninstall";
}

void integrateApplication(SetupContext& context, const IntegrationChoices& choices) {
  // Nothing installed: nothing to register, and no shortcut to a program
  // that is not there.
  if (!installedAnything(context)) return;
  registerInstallation(context);
  if (choices.desktop) linkDesktop(context);
  std::string group;
  if (choices.userPrograms) {
    if (!programGroup(context, SpecialFolder::Programs, group)) return;
    linkProgramGroup(context, group);
  }
  if (choices.commonPrograms && programGroup(context, SpecialFolder::CommonPrograms, group)) {
    linkProgramGroup(context, group);
  }
}

}  // namespace ks
