#include "platform/posix/curl_redirects.h"

#include <curl/curl.h>

#include <memory>

namespace ks {

namespace {

struct UrlFree {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// The scheme of the URL held, lower case as curl keeps it; "" when none.
std::string schemeOf(CURLU* url) {
  char* scheme = nullptr;
  if (curl_url_get(url, CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK || scheme == nullptr) return {};
  std::string text(scheme);
  curl_free(scheme);
  return text;
}

}  // namespace

bool redirectAllowed(const std::string& currentUrl, const std::string& location) {
  std::unique_ptr<CURLU, UrlFree> url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, currentUrl.c_str(), 0) != CURLUE_OK) {
    return false;
  }
  const std::string from = schemeOf(url.get());
  // Set over the current URL, a relative location is resolved against it.
  if (curl_url_set(url.get(), CURLUPART_URL, location.c_str(), 0) != CURLUE_OK) return false;
  const std::string to = schemeOf(url.get());
  if (to != "http" && to != "https") return false;
  return !(from == "https" && to == "http");
}

}  // namespace ks
