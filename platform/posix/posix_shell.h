#pragma once
// Shell on a freedesktop desktop: the XDG desktop folder, the user's and the
// system's application menus, and .desktop entries as shortcuts.

#include <string>

#include "platform/shell.h"

namespace ks {

inline constexpr const char* kDefaultCommonProgramsFolder = "/usr/local/share/applications";

class PosixShell : public Shell {
 public:
  explicit PosixShell(std::string commonProgramsFolder = kDefaultCommonProgramsFolder)
      : commonPrograms_(std::move(commonProgramsFolder)) {}

  bool specialFolder(SpecialFolder folder, std::string& path) override;
  std::string shortcutExtension() override { return ".desktop"; }
  std::int32_t createShortcut(const std::string& target, const std::string& linkPath,
                              const std::string& description) override;
  bool canWriteTo(SpecialFolder folder) override;

 private:
  std::string commonPrograms_;
};

// The desktop folder: XDG_DESKTOP_DIR of user-dirs.dirs in the user's config
// folder, else $HOME/Desktop.
std::string desktopFolder();

// The text of a desktop entry that starts target (or, for a document such as
// readme.txt, opens it) under the name description.
std::string desktopEntryText(const std::string& target, const std::string& description);

}  // namespace ks
