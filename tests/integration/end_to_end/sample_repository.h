#pragma once
// A repository as a publisher puts it on a server: version2.ini and the
// packages it names (an MSZIP application cabinet with a subfolder, a
// Quantum help cabinet, a plain read-me file).

#include <string>
#include <vector>

namespace ks::test {

struct RepositorySite {
  std::string label;
  std::string baseUrl;  // "http://127.0.0.1:PORT/pub" or "ftp://..."
};

// Writes the packages into folder (app.cab, help.cab, readme.txt).
void writeSamplePackages(const std::string& folder);

// The version-info file naming the sites in order; extraPackage adds a
// fourth component whose package exists on no site.
std::string sampleVersionInfo(const std::vector<RepositorySite>& sites, bool extraPackage);

}  // namespace ks::test
