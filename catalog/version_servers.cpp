#include "catalog/version_servers.h"

#ifndef KS_VERSION_PRIMARY_HOST
#define KS_VERSION_PRIMARY_HOST "download.kestrova.net"
#endif
#ifndef KS_VERSION_FALLBACK_HOST
#define KS_VERSION_FALLBACK_HOST "mirror.kestrova.net"
#endif

namespace ks {

namespace {

constexpr const char* kVersionInfoPath = "/kestrova/version2.ini";
constexpr std::string_view kHttpPrefix = "http://";
constexpr std::string_view kHttpsPrefix = "https://";

// "host[:port]" without a scheme means http.
std::string_view withoutScheme(std::string_view server) {
  if (server.starts_with(kHttpsPrefix)) return server.substr(kHttpsPrefix.size());
  if (server.starts_with(kHttpPrefix)) return server.substr(kHttpPrefix.size());
  return server;
}

bool isHostText(std::string_view host) {
  if (host.empty()) return false;
  for (char c : host) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '[' ||
                         c == ']';
    if (!allowed) return false;
  }
  return true;
}

bool isServerText(std::string_view server) {
  return isHostText(withoutScheme(server));
}

}  // namespace

VersionServers builtInVersionServers() {
  return {KS_VERSION_PRIMARY_HOST, KS_VERSION_FALLBACK_HOST};
}

VersionServers versionServersFrom(std::string_view setting) {
  const std::size_t comma = setting.find(',');
  if (comma == std::string_view::npos) {
    // One server serves as both.
    if (!isServerText(setting)) return builtInVersionServers();
    return {std::string(setting), std::string(setting)};
  }
  const std::string_view primary = setting.substr(0, comma);
  const std::string_view fallback = setting.substr(comma + 1);
  if (!isServerText(primary) || !isServerText(fallback)) return builtInVersionServers();
  return {std::string(primary), std::string(fallback)};
}

std::string versionInfoUrl(const std::string& server) {
  const std::string_view scheme = server.starts_with(kHttpsPrefix) ? kHttpsPrefix : kHttpPrefix;
  return std::string(scheme) + std::string(withoutScheme(server)) + kVersionInfoPath;
}

}  // namespace ks
