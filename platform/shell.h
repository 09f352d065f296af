#pragma once
// The desktop shell: its special folders and the shortcut files in them.

#include <cstdint>
#include <string>

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
  // Writes a shortcut file at linkPath that starts target, with description
  // as its name; returns 0 on success or a failure code (negative).
  virtual std::int32_t createShortcut(const std::string& target, const std::string& linkPath,
                                      const std::string& description) = 0;
  // Whether this user may make shortcuts in a special folder: it exists and
  // can be written.
  virtual bool canWriteTo(SpecialFolder folder) = 0;
};

}  // namespace ks
