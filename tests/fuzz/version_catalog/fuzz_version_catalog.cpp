// A version-info file of any content is loaded into the catalog; every
// invariant of the catalog must hold afterwards. The same bytes as a SHA256
// value: a digest read back is the text it came from.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalog/sha256_text.h"
#include "catalog/version_catalog.h"
#include "tests/fuzz/support/memory_platform.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

void checkInvariants(const ks::VersionCatalog& catalog) {
  require(catalog.siteCount >= 0 && catalog.siteCount <= ks::kMaxSites);
  require(catalog.groupCount >= 0 && catalog.groupCount <= ks::kMaxGroups);
  require(catalog.componentCount >= 0 && catalog.componentCount <= ks::kMaxComponents);
  for (int i = 0; i < catalog.siteCount; ++i) {
    require(!catalog.sites[i].name.empty() && catalog.sites[i].name.size() < ks::kSiteNameBytes);
  }
  for (int i = 0; i < catalog.componentCount; ++i) {
    const ks::Component& c = *catalog.components[i];
    require(c.groupIndex >= 0 && c.groupIndex < catalog.groupCount);
    require(c.urlCount <= catalog.siteCount);
    for (int u = 0; u < c.urlCount; ++u) require(!c.urls[u].empty());
    require(c.title.size() < ks::kTitleBytes && c.description.size() < ks::kDescriptionBytes);
    require(c.installedVersion.size() < ks::kVersionBytes);
    require(c.requiredVersion.size() < ks::kVersionBytes);
    require(!(c.sha256 && !c.unavailableReason.empty()));  // a digest, or unavailable, or neither
  }
}

void checkDigestText(std::string_view text) {
  ks::Sha256Digest digest{};
  if (!ks::parseSha256Text(text, digest)) return;
  const std::string back = ks::sha256Text(digest);
  require(back.size() == text.size());
  for (std::size_t i = 0; i < back.size(); ++i) {
    require(back[i] == static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ks::fuzz::MemoryPlatform platform;
  platform.fileSystem.path = "version2.ini";
  platform.fileSystem.content.assign(reinterpret_cast<const char*>(data), size);
  ks::SetupContext context;
  context.platform = platform.ports();
  context.state.installDir = "/opt/%SystemDir%";
  context.state.systemDir = "/usr/lib";
  ks::loadVersionCatalog(context, "version2.ini");
  checkInvariants(context.catalog);
  ks::freeVersionCatalog(context.catalog);
  checkDigestText(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
