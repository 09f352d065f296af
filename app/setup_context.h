#pragma once
// Everything one run of the setup works on: the ports, the setup state and the
// catalog. runSetup makes one; tests make their own.

#include <array>

#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "catalog/version_servers.h"
#include "platform/platform.h"

namespace ks {

struct SetupContext {
  Platform platform;
  SetupState state;
  VersionCatalog catalog;
  // Where the version-info file comes from.
  VersionServers versionServers = builtInVersionServers();
  // The job that fetches the version-info file; it lives as long as the run,
  // so a transfer still under way when the wizard closes never outlives it.
  Component versionInfoJob;
  // The selected components in catalog order, while the Download and
  // Install page works through them.
  std::array<Component*, kMaxComponents> installQueue{};
  int installQueueCount = 0;
  int installQueuePosition = 0;
};

}  // namespace ks
