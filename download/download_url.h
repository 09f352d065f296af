#pragma once
// What the engine itself reads from a download URL.

#include <string>
#include <string_view>

namespace ks {

// Case-sensitive scheme tests: "HTTP://" is none of them.
bool isFtpUrl(std::string_view url);
bool isHttpUrl(std::string_view url);
bool isHttpsUrl(std::string_view url);

// The host as the source line shows it: the text after the first "//" up to
// the next "/", with the port but never the user name and password before
// an "@". Empty without "//".
std::string sourceHost(std::string_view url);

// The URL as it may be shown anywhere: any "user:password@" before the host
// is left out.
std::string urlForDisplay(std::string_view url);

}  // namespace ks
