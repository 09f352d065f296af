#pragma once
// Where an HTTP redirect may lead.

#include <string>

namespace ks {

// True when an answer for currentUrl may send the client on to location
// (a relative location is taken relative to currentUrl): only to an http://
// or https:// URL, and never from https:// to http://.
bool redirectAllowed(const std::string& currentUrl, const std::string& location);

}  // namespace ks
