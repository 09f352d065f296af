#pragma once
// The command-line options of an unattended run:
//   --unattended --mode=internet|local|download [--archive-dir=DIR]
//   [--download-dir=DIR] [--install-dir=DIR] [--site=N]
//   [--components=required|all|TITLE,...] [--delete-after-install]
//   [--desktop] [--programs] [--common-programs] [--proxy=HOST:PORT]
//   [--retries=N]

#include <optional>
#include <string>
#include <vector>

#include "app/setup_state.h"

namespace ks {

struct UnattendedOptions {
  SetupMode mode = SETUP_MODE_NONE;
  std::string archiveDir;
  std::string downloadDir;
  std::string installDir;
  std::optional<int> site;
  enum class Components { Required, All, Titles };
  Components components = Components::Required;
  std::vector<std::string> titles;
  bool deleteAfterInstall = false;
  bool desktop = false;
  bool programs = false;
  bool commonPrograms = false;
  std::string proxy;
  int retries = 2;
};

// True when the arguments ask for an unattended run ("--unattended").
bool wantsUnattendedRun(const std::vector<std::string>& args);

// Reads the options; false with a reason in error for an unknown option or
// a missing or bad value. "-uninstall" is left to start-up.
bool parseUnattendedOptions(const std::vector<std::string>& args, UnattendedOptions& options,
                            std::string& error);

// The help text of the options.
const char* unattendedUsage();

}  // namespace ks
