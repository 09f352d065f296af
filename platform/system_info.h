#pragma once
// What the setup needs to know about the system it runs on.

#include <string>

namespace ks {

// Platform ids as the version query reports them.
inline constexpr int kPlatformWin32s = 0;
inline constexpr int kPlatformWindows95 = 1;
inline constexpr int kPlatformWindowsNT = 2;

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The platform id of the version query (0 Win32s, 1 Windows 95 family, 2 NT family).
  virtual int platformId() = 0;
  // True on the Windows NT family (the top bit of GetVersion is clear).
  virtual bool isWindowsNT() = 0;
  // Full path of the running setup program.
  virtual std::string ownProgramPath() = 0;
  virtual std::string windowsDirectory() = 0;
  virtual std::string systemDirectory() = 0;
  // The user's own home (profile) folder.
  virtual std::string userHomeFolder() = 0;
  // The folder in which the setup proposes its own "Kestrova Setup" folder:
  // the root of drive C: on Windows, the user's home folder on Linux.
  virtual std::string defaultSetupRoot() = 0;
  // The folder that holds the users' profiles (C:\Users); "" where the
  // system has none.
  virtual std::string userProfilesFolder() = 0;
  // Where the setup keeps what it downloads when it can't write into its own
  // folder (installed among the system's programs, or run from a read-only
  // medium), made when missing; "" where the system has no such place or
  // it can't be made.
  virtual std::string downloadCacheFolder() = 0;
};

}  // namespace ks
