// Download URLs from a version-info file: the splitter of the libcurl client
// and the engine's own reading of scheme and host.

#include <cstddef>
#include <cstdint>
#include <string>

#include "download/download_url.h"
#include "platform/posix/curl_crack_url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  ks::UrlComponents parts;
  if (ks::crackUrlText(url, parts)) {
    if (parts.port <= 0 || parts.port > 65535 || parts.hostName.empty()) __builtin_trap();
  }
  (void)ks::isFtpUrl(url);
  (void)ks::isHttpUrl(url);
  (void)ks::sourceHost(url);
  return 0;
}
