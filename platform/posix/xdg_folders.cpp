#include "platform/posix/xdg_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/posix/registry_folders.h"

namespace ks {

namespace {

std::string accountHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir) {
    return {};
  }
  return found->pw_dir;
}

std::string baseFolder(const char* variable, const char* fallbackBelowHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return homeFolder() + fallbackBelowHome;
}

}  // namespace

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  return home && home[0] ? std::string(home) : accountHome();
}

std::string configHomeFolder() {
  return baseFolder("XDG_CONFIG_HOME", "/.config");
}

std::string dataHomeFolder() {
  return baseFolder("XDG_DATA_HOME", "/.local/share");
}

std::string cacheHomeFolder() {
  return baseFolder("XDG_CACHE_HOME", "/.cache");
}

std::string stateHomeFolder() {
  return baseFolder("XDG_STATE_HOME", "/.local/state");
}

std::string lastRunLogPath() {
  const std::string folder = stateHomeFolder() + "/kestrova-setup";
  return registry::makeFolders(folder) ? folder + "/last-run.log" : std::string();
}

}  // namespace ks
