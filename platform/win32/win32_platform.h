#pragma once
// One of each Windows adapter, wired into a Platform; WinINet as the Internet
// client and a message-queue thread for unattended runs. The dialogs belong
// to the frontend.

#include "platform/adapter_set.h"
#include "platform/platform.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_hashing.h"
#include "platform/win32/win32_libraries.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_ui_dispatcher.h"
#include "platform/win32/win32_version_resources.h"
#include "platform/win32/wininet_internet_api.h"

namespace ks {

struct Win32Platform {
  Win32SystemInfo systemInfo;
  Win32Registry registry;
  Win32FileSystem fileSystem;
  Win32LibraryLoader libraries;
  Win32VersionResources versionResources;
  Win32Shell shell;
  Win32Processes processes;
  Win32Hashing hashing;

  Platform ports() { return portsOf(*this); }

  AdapterSet adapters() {
    return AdapterSet{.ports = ports(),
                      .makeInternet = [](Dialogs& dialogs) -> std::unique_ptr<InternetApi> {
                        return std::make_unique<WinInetInternetApi>(dialogs);
                      },
                      .makeUiThreadLoop = []() -> std::unique_ptr<UiThreadLoop> {
                        return std::make_unique<Win32UiDispatcher>();
                      },
                      // A log is kept only when --log names its file.
                      .lastRunLog = {}};
  }
};

}  // namespace ks
