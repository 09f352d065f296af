#include "download/download_url.h"

namespace ks {

namespace {
constexpr std::string_view kFtpPrefix = "ftp://";
constexpr std::string_view kHttpPrefix = "http://";
}  // namespace

bool isFtpUrl(std::string_view url) {
  return url.starts_with(kFtpPrefix);
}

bool isHttpUrl(std::string_view url) {
  return url.starts_with(kHttpPrefix);
}

std::string sourceHost(std::string_view url) {
  const std::size_t slashes = url.find("//");
  if (slashes == std::string_view::npos) return {};
  const std::string_view rest = url.substr(slashes + 2);
  return std::string(rest.substr(0, rest.find('/')));
}

}  // namespace ks
