#pragma once
// Everything one run of the setup works on: the ports, the setup state and the
// catalog. runSetup makes one; tests make their own.

#include <array>
#include <string>
#include <vector>

#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "catalog/version_servers.h"
#include "platform/platform.h"

namespace ks {

// What a run installed into the installation folder and how it registered
// it (install/installation_record.h).
struct InstallationRecord {
  // The folder the names are relative to; "" while nothing is installed.
  std::string folder;
  // Every file the setup put there, relative to it: this run's, and earlier
  // runs' when the folder was the registered installation already.
  std::vector<std::string> files;
  // The copy of the setup program beside the installation, which the
  // uninstall entry runs.
  enum class SetupCopy { NotMade, Made, Failed };
  SetupCopy setupCopy = SetupCopy::NotMade;
};

// The shortcut files the Integration page made in this run, by the box that
// asked for them: unticking a box and passing the page again removes them.
struct MadeShortcuts {
  std::vector<std::string> desktop;
  std::vector<std::string> userPrograms;
  std::vector<std::string> commonPrograms;
};

// How a queued component ended on the Download and Install page.
enum class ComponentOutcome { Waiting, Done, Failed };

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
  std::array<ComponentOutcome, kMaxComponents> installQueueOutcome{};
  InstallationRecord installation;
  MadeShortcuts shortcuts;
  // How the wizard ended, for the exit code: the user confirmed Cancel; an
  // uninstallation from the first page left parts behind.
  bool cancelledByUser = false;
  bool uninstallIncomplete = false;
};

}  // namespace ks
