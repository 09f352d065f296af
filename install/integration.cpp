#include "install/integration.h"

#include <string>
#include <vector>

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

// Makes one shortcut and remembers it in made when it was saved.
void makeShortcut(Shell& shell, const std::string& target, const std::string& link,
                  const char* description, std::vector<std::string>& made) {
  if (shell.createShortcut(target, link, description) == 0) made.push_back(link);
}

// Removes the shortcuts of a box that is no longer ticked, and their program
// group folder when that is left empty.
void removeShortcuts(FileSystem& files, std::vector<std::string>& made, bool inGroup) {
  std::string group;
  for (const std::string& link : made) {
    const SplitPath parts = splitAtLastSeparator(link);
    files.deleteFile(parts.folder, parts.name);
    group = parts.folder;
  }
  if (inGroup && !group.empty()) {
    const SplitPath parts = splitAtLastSeparator(group);
    files.removeFolder(parts.folder, parts.name);
  }
  made.clear();
}

void linkDesktop(SetupContext& context) {
  std::string desktop;
  if (!context.platform.shell->specialFolder(SpecialFolder::Desktop, desktop)) return;
  const std::string link =
      desktop + kPathSeparator + shortcutName(*context.platform.shell, kDisplayName);
  if (!pathFits(*context.platform.fileSystem, link)) return;
  context.shortcuts.desktop.clear();
  makeShortcut(*context.platform.shell, joinPath(context.state.installDir, kApplicationProgram),
               link, kDisplayName, context.shortcuts.desktop);
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

void linkProgramGroup(SetupContext& context, const std::string& group,
                      std::vector<std::string>& made) {
  Shell& shell = *context.platform.shell;
  const SetupState& state = context.state;
  const auto link = [&](const char* base) {
    return group + kPathSeparator + shortcutName(shell, base);
  };
  made.clear();
  makeShortcut(shell, joinPath(state.installDir, kApplicationProgram), link(kDisplayName),
               kDisplayName, made);
  makeShortcut(shell, joinPath(state.installDir, state.setupFileName), link(kUninstallDescription),
               kUninstallDescription, made);
  makeShortcut(shell, joinPath(state.installDir, kReadMeFile), link(kReadMeDescription),
               kReadMeDescription, made);
}

// What an earlier pass made for a box the user has unticked since goes.
void removeUnticked(SetupContext& context, const IntegrationChoices& choices) {
  FileSystem& files = *context.platform.fileSystem;
  MadeShortcuts& made = context.shortcuts;
  if (!choices.desktop) removeShortcuts(files, made.desktop, false);
  if (!choices.userPrograms) removeShortcuts(files, made.userPrograms, true);
  if (!choices.commonPrograms) removeShortcuts(files, made.commonPrograms, true);
}

}  // namespace

// The program path is quoted, so the command works under a folder with blanks.
std::string uninstallCommand(const SetupState& state) {
  return '"' + joinPath(state.installDir, state.setupFileName) + "\" -uninstall";
}

void integrateApplication(SetupContext& context, const IntegrationChoices& choices) {
  removeUnticked(context, choices);
  // Nothing installed: nothing to register, and no shortcut to a program
  // that is not there.
  if (!installedAnything(context)) return;
  registerInstallation(context);
  if (choices.desktop) linkDesktop(context);
  std::string group;
  if (choices.userPrograms) {
    if (!programGroup(context, SpecialFolder::Programs, group)) return;
    linkProgramGroup(context, group, context.shortcuts.userPrograms);
  }
  if (choices.commonPrograms && programGroup(context, SpecialFolder::CommonPrograms, group)) {
    linkProgramGroup(context, group, context.shortcuts.commonPrograms);
  }
}

}  // namespace ks
