#pragma once
// SystemInfo on Linux: an NT-family system whose Windows and system folders
// are /usr and /usr/lib.

#include "platform/system_info.h"

namespace ks {

class PosixSystemInfo : public SystemInfo {
 public:
  int platformId() override { return kPlatformWindowsNT; }
  bool isWindowsNT() override { return true; }
  // The target of /proc/self/exe; empty when it can't be read.
  std::string ownProgramPath() override;
  std::string windowsDirectory() override { return "/usr"; }
  std::string systemDirectory() override { return "/usr/lib"; }
  std::string userHomeFolder() override;
  std::string defaultSetupRoot() override { return userHomeFolder(); }
  // Homes may lie anywhere: there is no one folder of profiles.
  std::string userProfilesFolder() override { return {}; }
  // $XDG_CACHE_HOME/kestrova-setup (default ~/.cache/kestrova-setup).
  std::string downloadCacheFolder() override;
};

}  // namespace ks
