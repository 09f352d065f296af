#pragma once
// What the engine itself reads from a download URL.

#include <string>
#include <string_view>

namespace ks {

// Case-sensitive scheme tests: "HTTP://" is neither.
bool isFtpUrl(std::string_view url);
bool isHttpUrl(std::string_view url);

// The host as the source line shows it: the text after the first "//" up to
// the next "/" (user name, password and port included). Empty without "//".
std::string sourceHost(std::string_view url);

}  // namespace ks
