// A version-info file of any content is loaded into the catalog; every
// invariant of the catalog must hold afterwards.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
  return 0;
}
