#pragma once
// The one record of settings and choices that every page reads and writes.

#include <cstddef>
#include <string>

namespace ks {

enum SetupMode : int {
  SETUP_MODE_NONE = 0,           // no option taken yet, or "Uninstall Application"
  SETUP_MODE_INTERNET = 1,       // "Install Application from &Internet"
  SETUP_MODE_LOCAL = 2,          // "Install Application from &Local Archives"
  SETUP_MODE_DOWNLOAD_ONLY = 3,  // "&Download Only"
};

// proxyServer is "host:port" in a 256-byte buffer of which 254 characters are used.
inline constexpr std::size_t kProxyServerBytes = 255;

// Every text field holds at most kMaxPathBytes - 1 characters unless noted.
struct SetupState {
  SetupMode mode = SETUP_MODE_NONE;
  int deleteAfterInstall = 0;
  std::string installDir;
  std::string downloadDir;
  std::string localArchiveDir;
  int primarySite = 0;
  std::string setupPath;
  std::string setupDir;
  std::string setupFileName;
  std::string windowsDir;
  std::string systemDir;
  int catalogLoaded = 0;
  int useProxy = 0;
  std::string proxyServer;
};

// Registry names shared by start-up, the pages, integration and uninstall.
inline constexpr const char* kProductKey = "Software\\Kestrova";
inline constexpr const char* kInstallDirectoryValue = "Install Directory";
// Where the application's icon was put for the desktop's shortcuts (Linux).
inline constexpr const char* kIconFileValue = "Icon File";
inline constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrova";

}  // namespace ks
