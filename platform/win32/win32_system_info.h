#pragma once
// SystemInfo on KERNEL32: the version query, the Windows and system folders,
// the program's own path and the user's profile folder.

#include "platform/system_info.h"

namespace ks {

class Win32SystemInfo : public SystemInfo {
 public:
  // GetVersionExW's platform id.
  int platformId() override;
  // The top bit of GetVersion is clear on the NT family.
  bool isWindowsNT() override;
  std::string ownProgramPath() override;
  std::string windowsDirectory() override;
  std::string systemDirectory() override;
  // CSIDL_PROFILE.
  std::string userHomeFolder() override;
  std::string defaultSetupRoot() override { return "C:\\"; }
  // FOLDERID_UserProfiles (C:\Users).
  std::string userProfilesFolder() override;
  // The setup keeps its downloads beside itself, as it always has.
  std::string downloadCacheFolder() override { return {}; }
};

}  // namespace ks
