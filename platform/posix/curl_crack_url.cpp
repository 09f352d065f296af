#include "platform/posix/curl_crack_url.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace ks {

namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;
constexpr int kFtpPort = 21;
constexpr int kMaxPort = 65535;

std::string lower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

InternetScheme schemeNamed(std::string_view scheme) {
  if (scheme == "http") return InternetScheme::Http;
  if (scheme == "https") return InternetScheme::Https;
  if (scheme == "ftp") return InternetScheme::Ftp;
  return InternetScheme::Unknown;
}

int defaultPort(InternetScheme scheme) {
  switch (scheme) {
    case InternetScheme::Http:
      return kHttpPort;
    case InternetScheme::Https:
      return kHttpsPort;
    case InternetScheme::Ftp:
      return kFtpPort;
    default:
      return 0;
  }
}

bool parsePort(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value == 0 || value > kMaxPort) return false;
  port = value;
  return true;
}

// user[:password]@ before the host; the last "@" ends it.
void splitCredentials(std::string_view& authority, UrlComponents& parts) {
  const std::size_t at = authority.rfind('@');
  if (at == std::string_view::npos) return;
  const std::string_view credentials = authority.substr(0, at);
  const std::size_t colon = credentials.find(':');
  parts.userName = credentials.substr(0, colon);
  if (colon != std::string_view::npos) parts.password = credentials.substr(colon + 1);
  authority = authority.substr(at + 1);
}

bool splitHostAndPort(std::string_view authority, UrlComponents& parts) {
  const std::size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos) {
    if (!parsePort(authority.substr(colon + 1), parts.port)) return false;
    authority = authority.substr(0, colon);
  }
  parts.hostName = authority;
  return !parts.hostName.empty();
}

}  // namespace

bool crackUrlText(const std::string& url, UrlComponents& parts) {
  const std::size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string::npos) return false;
  UrlComponents result;
  result.scheme = schemeNamed(lower(std::string_view(url).substr(0, schemeEnd)));
  result.port = defaultPort(result.scheme);
  if (result.port == 0) return false;
  const std::string_view rest = std::string_view(url).substr(schemeEnd + 3);
  const std::size_t pathStart = rest.find('/');
  std::string_view authority = rest.substr(0, pathStart);
  result.urlPath = pathStart == std::string_view::npos ? "" : rest.substr(pathStart);
  splitCredentials(authority, result);
  if (!splitHostAndPort(authority, result)) return false;
  parts = std::move(result);
  return true;
}

}  // namespace ks
