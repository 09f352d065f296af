#pragma once
// The user's base folders as the XDG base directory rules give them, read
// from the environment at the time of the call.

#include <string>

namespace ks {

// $HOME, or the home folder of the user's account when HOME is not set.
std::string homeFolder();
// $XDG_CONFIG_HOME, or $HOME/.config (a relative setting is ignored).
std::string configHomeFolder();
// $XDG_DATA_HOME, or $HOME/.local/share (a relative setting is ignored).
std::string dataHomeFolder();
// $XDG_CACHE_HOME, or $HOME/.cache (a relative setting is ignored).
std::string cacheHomeFolder();
// $XDG_STATE_HOME, or $HOME/.local/state (a relative setting is ignored).
std::string stateHomeFolder();
// $XDG_STATE_HOME/kestrova-setup/last-run.log, its folder made; "" when the
// folder can't be made.
std::string lastRunLogPath();

}  // namespace ks
