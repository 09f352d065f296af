#pragma once
// Shell on a freedesktop desktop: the XDG desktop folder, the user's and the
// system's application menus, and .desktop entries as shortcuts.

#include <string>
#include <vector>

#include "platform/shell.h"

namespace ks {

inline constexpr const char* kDefaultCommonProgramsFolder = "/usr/local/share/applications";

class PosixShell : public Shell {
 public:
  explicit PosixShell(std::string commonProgramsFolder = kDefaultCommonProgramsFolder)
      : commonPrograms_(std::move(commonProgramsFolder)) {}

  bool specialFolder(SpecialFolder folder, std::string& path) override;
  std::string shortcutExtension() override { return ".desktop"; }
  // An entry on the desktop is executable (mode 0755): desktops start only
  // launchers that are.
  std::int32_t createShortcut(const Shortcut& shortcut) override;
  // A PNG file in the user's hicolor icon theme, in the folder of its size
  // ($XDG_DATA_HOME/icons/hicolor/WxH/apps/name.png).
  bool installIcon(const std::string& name, const std::vector<std::uint8_t>& iconFile,
                   std::string& iconPath) override;
  void removeIcon(const std::string& iconPath) override;
  bool canWriteTo(SpecialFolder folder) override;

 private:
  std::string commonPrograms_;
};

// The desktop folder: XDG_DESKTOP_DIR of user-dirs.dirs in the user's config
// folder, else $HOME/Desktop.
std::string desktopFolder();

// The user's hicolor icon theme: $XDG_DATA_HOME/icons/hicolor.
std::string iconThemeFolder();

// The text of a desktop entry that starts the shortcut's target (or, for a
// document such as readme.txt, opens it with xdg-open) under its menu name
// (its description when it has none).
std::string desktopEntryText(const Shell::Shortcut& shortcut);

}  // namespace ks
