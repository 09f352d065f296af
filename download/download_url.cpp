#include "download/download_url.h"

#include <algorithm>

namespace ks {

namespace {

constexpr std::string_view kFtpPrefix = "ftp://";
constexpr std::string_view kHttpPrefix = "http://";
constexpr std::string_view kHttpsPrefix = "https://";

// Where the text after the first "//" lies, up to the next "/": its start,
// the start of the host (after any "user:password@") and its end. found is
// false without "//".
struct Authority {
  bool found = false;
  std::size_t start = 0;
  std::size_t host = 0;
  std::size_t end = 0;
};

Authority authorityOf(std::string_view url) {
  Authority authority;
  const std::size_t slashes = url.find("//");
  if (slashes == std::string_view::npos) return authority;
  authority.found = true;
  authority.start = slashes + 2;
  authority.end = std::min(url.find('/', authority.start), url.size());
  const std::size_t at = url.substr(authority.start, authority.end - authority.start).rfind('@');
  authority.host = at == std::string_view::npos ? authority.start : authority.start + at + 1;
  return authority;
}

}  // namespace

bool isFtpUrl(std::string_view url) {
  return url.starts_with(kFtpPrefix);
}

bool isHttpUrl(std::string_view url) {
  return url.starts_with(kHttpPrefix);
}

bool isHttpsUrl(std::string_view url) {
  return url.starts_with(kHttpsPrefix);
}

std::string sourceHost(std::string_view url) {
  const Authority authority = authorityOf(url);
  if (!authority.found) return {};
  return std::string(url.substr(authority.host, authority.end - authority.host));
}

std::string urlForDisplay(std::string_view url) {
  const Authority authority = authorityOf(url);
  return std::string(url.substr(0, authority.start)) + std::string(url.substr(authority.host));
}

}  // namespace ks
