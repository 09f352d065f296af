#pragma once
// Splits a URL the way InternetCrackUrl does for "http", "https" and "ftp":
// scheme://[user[:password]@]host[:port][/path]. The scheme is matched
// without regard to case; the port defaults to the scheme's.

#include <string>

#include "platform/internet_api.h"

namespace ks {

bool crackUrlText(const std::string& url, UrlComponents& parts);

}  // namespace ks
