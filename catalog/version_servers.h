#pragma once
// The servers the version-info file is fetched from: a primary and a
// fallback host, each reached as "http://" + host + "/kestrova/version2.ini".

#include <string>
#include <string_view>

namespace ks {

struct VersionServers {
  std::string primary;
  std::string fallback;
};

// The hosts the setup was built with.
VersionServers builtInVersionServers();

// "host[:port],host[:port]" as given in KESTROVA_VERSION_SERVERS; the
// built-in hosts when the text is empty or not of that form.
VersionServers versionServersFrom(std::string_view setting);

// "http://" + host + "/kestrova/version2.ini".
std::string versionInfoUrl(const std::string& host);

}  // namespace ks
