// Download URLs from a version-info file: the splitter of the libcurl client
// and the engine's own reading of scheme and host, the URL as shown, and the
// same text as a version-info server of KESTROVA_VERSION_SERVERS.

#include <cstddef>
#include <cstdint>
#include <string>

#include "catalog/version_servers.h"
#include "download/download_url.h"
#include "platform/posix/curl_crack_url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  ks::UrlComponents parts;
  if (ks::crackUrlText(url, parts)) {
    if (parts.port <= 0 || parts.port > 65535 || parts.hostName.empty()) __builtin_trap();
  }
  if (ks::isHttpsUrl(url) && ks::crackUrlText(url, parts) &&
      parts.scheme != ks::InternetScheme::Https)
    __builtin_trap();
  (void)ks::isFtpUrl(url);
  (void)ks::isHttpUrl(url);
  const ks::VersionServers servers = ks::versionServersFrom(url + "," + url);
  const std::string versionInfo = ks::versionInfoUrl(servers.primary);
  if (!ks::isHttpUrl(versionInfo) && !ks::isHttpsUrl(versionInfo)) __builtin_trap();
  // What is shown of a URL never holds its user name and password.
  if (ks::sourceHost(url).find('@') != std::string::npos) __builtin_trap();
  const std::string shown = ks::urlForDisplay(url);
  if (shown.size() > url.size() || ks::sourceHost(shown) != ks::sourceHost(url)) __builtin_trap();
  const std::size_t host = shown.find("//");
  if (host != std::string::npos &&
      shown.substr(host + 2, shown.find('/', host + 2) - (host + 2)).find('@') != std::string::npos)
    __builtin_trap();
  return 0;
}
