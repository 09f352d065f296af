#pragma once
// One of each Linux adapter, wired into a Platform. The dialogs belong to the
// frontend, which sets them itself.

#include "platform/adapter_set.h"
#include "platform/platform.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/openssl_hashing.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_libraries.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_registry.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/posix_system_info.h"
#include "platform/posix/posix_version_resources.h"
#include "platform/posix/xdg_folders.h"

namespace ks {

struct PosixPlatform {
  PosixSystemInfo systemInfo;
  PosixRegistry registry;
  PosixFileSystem fileSystem;
  PosixLibraryLoader libraries;
  PosixVersionResources versionResources;
  PosixShell shell;
  PosixProcesses processes;
  OpensslHashing hashing;

  Platform ports() { return portsOf(*this); }

  // The ports with libcurl as the Internet client; the user-interface thread
  // is the frontend's.
  AdapterSet adapters() {
    return AdapterSet{.ports = ports(),
                      .makeInternet = [](Dialogs& dialogs) -> std::unique_ptr<InternetApi> {
                        return std::make_unique<CurlInternetApi>(dialogs);
                      },
                      .makeUiThreadLoop = nullptr,
                      .lastRunLog = lastRunLogPath()};
  }
};

}  // namespace ks
