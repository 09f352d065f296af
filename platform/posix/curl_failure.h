#pragma once
// Why a libcurl transfer failed, told the way WinINet tells it: an
// ERROR_INTERNET_* code (the certificate codes of platform/internet_api.h
// among them) and curl's own words.

#include <curl/curl.h>

#include <cstdint>
#include <string>

namespace ks {

struct CurlFailure {
  std::uint32_t error = 0;
  std::string description;
};

// result is the transfer's outcome; errorText its CURLOPT_ERRORBUFFER.
CurlFailure describeCurlFailure(CURL* easy, CURLcode result, const char* errorText);

}  // namespace ks
