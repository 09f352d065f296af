#pragma once
// The desktop shell: its special folders and the shortcut files in them.

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

enum class SpecialFolder {
  Desktop,         // CSIDL_DESKTOP
  Programs,        // CSIDL_PROGRAMS: the user's start-menu programs
  CommonPrograms,  // CSIDL_COMMON_PROGRAMS: the programs of all users
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The path of a special folder; false when the shell can't supply it.
  virtual bool specialFolder(SpecialFolder folder, std::string& path) = 0;
  // The ending of a shortcut file: ".lnk" on Windows; the Linux desktop knows
  // shortcuts as ".desktop" entries of the same base name.
  virtual std::string shortcutExtension() = 0;
  // What a shortcut says. Windows links hold the target and the
  // description; a freedesktop entry shows menuName in menus that list
  // every program together, with the comment, icon and categories.
  struct Shortcut {
    std::string target;
    std::string linkPath;
    std::string description;
    std::string menuName;
    std::string comment;
    std::string iconPath;    // "" for none
    std::string categories;  // "Network;FileTransfer;"
  };
  // Writes a shortcut file at linkPath that starts target (or opens it, for
  // a document); returns 0 on success or a failure code (negative). A
  // shortcut on the desktop folder is one the desktop may start.
  virtual std::int32_t createShortcut(const Shortcut& shortcut) = 0;
  // Puts an application's icon (icon-file bytes) where the desktop looks for
  // the icons of programs, under name; iconPath names the file written.
  // False when the desktop needs no such file (Windows shows the icon of a
  // link's target) or it can't be written.
  virtual bool installIcon(const std::string& name, const std::vector<std::uint8_t>& iconFile,
                           std::string& iconPath) = 0;
  // Removes an icon that installIcon wrote; a path it would not have
  // written is left alone.
  virtual void removeIcon(const std::string& iconPath) = 0;
  // Whether this user may make shortcuts in a special folder: it exists and
  // can be written.
  virtual bool canWriteTo(SpecialFolder folder) = 0;
};

}  // namespace ks
