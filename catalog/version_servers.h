#pragma once
// The servers the version-info file is fetched from: a primary and a
// fallback server, each "host[:port]" (reached over http) or
// "https://host[:port]", and asked for "/kestrova/version2.ini".

#include <string>
#include <string_view>

namespace ks {

// The setting that names other servers for one run.
inline constexpr const char* kVersionServersVariable = "KESTROVA_VERSION_SERVERS";

struct VersionServers {
  std::string primary;
  std::string fallback;
};

// The servers the setup was built with.
VersionServers builtInVersionServers();

// "server,server" as given in KESTROVA_VERSION_SERVERS, each server
// "[https://]host[:port]" ("http://" may be written too), or one server for
// both; the built-in servers when the text is empty or not of that form.
VersionServers versionServersFrom(std::string_view setting);

// The version-info file's URL on a server: "http://host[:port]" (or
// "https://..." when the server says so) + "/kestrova/version2.ini".
std::string versionInfoUrl(const std::string& server);

}  // namespace ks
