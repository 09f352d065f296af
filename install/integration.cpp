#include "install/integration.h"

#include <string>
#include <vector>

#include "app/paths.h"
#include "install/application_icon.h"
#include "install/installation_record.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace ks {

namespace {

constexpr const char* kProgramGroup = "Kestrova";
constexpr const char* kReadMeFile = "readme.txt";
constexpr const char* kIconName = "kestrova";
constexpr const char* kCategories = "Network;FileTransfer;";

// The three shortcuts: the base name of the link file and its description,
// and what a menu that lists every program together shows.
struct ShortcutKind {
  const char* base;
  const char* menuName;
  const char* comment;
};
constexpr ShortcutKind kApplication = {kDisplayName, "Kestrova", "Transfer files over FTP"};
constexpr ShortcutKind kUninstall = {"Uninstall", "Uninstall Kestrova",
                                     "Remove Kestrova from this computer"};
constexpr ShortcutKind kReadMe = {"ReadMe", "Kestrova Read Me", "Read this before you start"};

std::string shortcutName(Shell& shell, const char* base) {
  return std::string(base) + shell.shortcutExtension();
}

// Makes one shortcut and remembers it in made when it was saved.
void makeShortcut(SetupContext& context, const ShortcutKind& kind, const std::string& target,
                  const std::string& link, const std::string& iconPath,
                  std::vector<std::string>& made) {
  const Shell::Shortcut shortcut{target,       link,     kind.base,  kind.menuName,
                                 kind.comment, iconPath, kCategories};
  if (context.platform.shell->createShortcut(shortcut) == 0) made.push_back(link);
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

void linkDesktop(SetupContext& context, const std::string& iconPath) {
  std::string desktop;
  if (!context.platform.shell->specialFolder(SpecialFolder::Desktop, desktop)) return;
  const std::string link =
      desktop + kPathSeparator + shortcutName(*context.platform.shell, kDisplayName);
  if (!pathFits(*context.platform.fileSystem, link)) return;
  context.shortcuts.desktop.clear();
  makeShortcut(context, kApplication, joinPath(context.state.installDir, kApplicationProgram), link,
               iconPath, context.shortcuts.desktop);
}

// The program group below a special folder, created when missing (a link in
// its place is replaced by a real folder); false when it can't be had.
bool programGroup(SetupContext& context, SpecialFolder where, std::string& group) {
  std::string programs;
  if (!context.platform.shell->specialFolder(where, programs)) return false;
  group = joinPath(programs, kProgramGroup);
  if (!pathFits(*context.platform.fileSystem,
                joinPath(group, shortcutName(*context.platform.shell, kUninstall.base)))) {
    return false;
  }
  return context.platform.fileSystem->ensureFolder(programs, kProgramGroup);
}

void linkProgramGroup(SetupContext& context, const std::string& group, const std::string& iconPath,
                      std::vector<std::string>& made) {
  Shell& shell = *context.platform.shell;
  const SetupState& state = context.state;
  const auto link = [&](const ShortcutKind& kind) {
    return group + kPathSeparator + shortcutName(shell, kind.base);
  };
  made.clear();
  makeShortcut(context, kApplication, joinPath(state.installDir, kApplicationProgram),
               link(kApplication), iconPath, made);
  makeShortcut(context, kUninstall, joinPath(state.installDir, state.setupFileName),
               link(kUninstall), iconPath, made);
  makeShortcut(context, kReadMe, joinPath(state.installDir, kReadMeFile), link(kReadMe), iconPath,
               made);
}

// What an earlier pass made for a box the user has unticked since goes.
void removeUnticked(SetupContext& context, const IntegrationChoices& choices) {
  FileSystem& files = *context.platform.fileSystem;
  MadeShortcuts& made = context.shortcuts;
  if (!choices.desktop) removeShortcuts(files, made.desktop, false);
  if (!choices.userPrograms) removeShortcuts(files, made.userPrograms, true);
  if (!choices.commonPrograms) removeShortcuts(files, made.commonPrograms, true);
}

// The application's icon where the desktop finds it, recorded beside
// "Install Directory" so uninstallation removes it; "" where the shortcuts
// need no icon file or the program has no icon.
std::string installApplicationIcon(SetupContext& context) {
  const std::vector<std::uint8_t> icon =
      applicationIcon(context, joinPath(context.state.installDir, kApplicationProgram));
  std::string iconPath;
  if (icon.empty() || !context.platform.shell->installIcon(kIconName, icon, iconPath)) return {};
  Registry& registry = *context.platform.registry;
  if (registry.createKey(RegistryRoot::CurrentUser, kProductKey)) {
    registry.writeValue(RegistryRoot::CurrentUser, kProductKey, kIconFileValue, iconPath);
  }
  return iconPath;
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
  const bool anyShortcut = choices.desktop || choices.userPrograms || choices.commonPrograms;
  const std::string iconPath = anyShortcut ? installApplicationIcon(context) : std::string();
  if (choices.desktop) linkDesktop(context, iconPath);
  std::string group;
  if (choices.userPrograms) {
    if (!programGroup(context, SpecialFolder::Programs, group)) return;
    linkProgramGroup(context, group, iconPath, context.shortcuts.userPrograms);
  }
  if (choices.commonPrograms && programGroup(context, SpecialFolder::CommonPrograms, group)) {
    linkProgramGroup(context, group, iconPath, context.shortcuts.commonPrograms);
  }
}

}  // namespace ks
