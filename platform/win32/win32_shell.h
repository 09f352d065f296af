#pragma once
// Shell on SHELL32 and COM: special folders through SHGetFolderPathW, and
// real shell links (.lnk) written through IShellLinkW and IPersistFile.

#include "platform/shell.h"

namespace ks {

class Win32Shell : public Shell {
 public:
  // CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS; the
  // folder is created when it is missing.
  bool specialFolder(SpecialFolder folder, std::string& path) override;
  std::string shortcutExtension() override { return ".lnk"; }
  // The HRESULT of the save (or of the step that failed before it).
  std::int32_t createShortcut(const std::string& target, const std::string& linkPath,
                              const std::string& description) override;
  // Tried for real: a file made and removed again in the folder.
  bool canWriteTo(SpecialFolder folder) override;
};

}  // namespace ks
