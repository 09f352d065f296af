#pragma once
// The adapters an executable's main picked for a run: the ports of its
// platform, and how to make what depends on the frontend (the Internet
// client asks its password questions through the frontend's dialogs; an
// unattended run drives a user-interface thread of the platform's kind).

#include <functional>
#include <memory>
#include <string>

#include "platform/dialogs.h"
#include "platform/internet_api.h"
#include "platform/platform.h"
#include "platform/ui_dispatcher.h"

namespace ks {

// The ports of a set of adapters whose members bear the ports' names (the
// dialogs and the user-interface thread are the frontend's).
template <typename Adapters>
Platform portsOf(Adapters& adapters) {
  return Platform{.systemInfo = &adapters.systemInfo,
                  .registry = &adapters.registry,
                  .fileSystem = &adapters.fileSystem,
                  .libraries = &adapters.libraries,
                  .versionResources = &adapters.versionResources,
                  .dialogs = nullptr,
                  .shell = &adapters.shell,
                  .processes = &adapters.processes,
                  .hashing = &adapters.hashing};
}

struct AdapterSet {
  // Every port but the dialogs and the user-interface thread.
  Platform ports;
  std::function<std::unique_ptr<InternetApi>(Dialogs& dialogs)> makeInternet;
  // Made on the thread that becomes the user-interface thread; none: the
  // frontend's own.
  std::function<std::unique_ptr<UiThreadLoop>()> makeUiThreadLoop;
  // Where the log of the last run is kept ("" for none); its folder exists.
  std::string lastRunLog;
};

}  // namespace ks
