#include "catalog/version_catalog.h"

#include <cstdio>
#include <new>

#include "app/fixed_text.h"
#include "catalog/profile_file.h"
#include "catalog/sha256_text.h"
#include "catalog/version_check.h"
#include "platform/file_system.h"

namespace ks {

namespace {

constexpr const char* kSitesSection = "Sites";
// Far more than the 64 digits of a digest, so a longer value is never cut
// down to something that looks right.
constexpr std::size_t kSha256ValueBytes = 256;
constexpr const char* kMalformedSha256 =
    "This component can't be installed: its SHA256 value in the version-info file is not 64 "
    "hexadecimal digits, so its package could not be checked.";

// "Site%.2i" / "URL%.2i" for n = 1..10.
std::string numberedKey(const char* prefix, int number) {
  char key[16];
  std::snprintf(key, sizeof key, "%s%.2i", prefix, number);
  return key;
}

void clearCatalog(VersionCatalog& catalog) {
  freeVersionCatalog(catalog);
  catalog.siteCount = 0;
  catalog.groupCount = 0;
  for (ComponentGroup& group : catalog.groups) group = ComponentGroup{};
  for (DownloadSite& site : catalog.sites) site = DownloadSite{};
}

void readSites(const ProfileFile& file, VersionCatalog& catalog) {
  for (int n = 1; n <= kMaxSites; ++n) {
    std::string name = file.readString(kSitesSection, numberedKey("Site", n), "", kSiteNameBytes);
    if (name.empty()) break;
    catalog.sites[catalog.siteCount++].name = std::move(name);
  }
}

// The index of the group, appended when new; -1 when an eleventh group would be needed.
int groupIndexFor(VersionCatalog& catalog, const std::string& groupName) {
  for (int i = 0; i < catalog.groupCount; ++i) {
    if (catalog.groups[i].name == groupName) return i;
  }
  if (catalog.groupCount == kMaxGroups) return -1;
  catalog.groups[catalog.groupCount].name = groupName;
  return catalog.groupCount++;
}

void readComponentTexts(const ProfileFile& file, const std::string& section, Component& component) {
  component.requiredVersion = file.readString(section, "Required", "", kVersionBytes);
  component.availableVersion = file.readString(section, "Version", "", kVersionBytes);
  component.versionCheck = file.readString(section, "VersionCheck", "", kVersionCheckBytes);
  component.title = file.readString(section, "Title", "", kTitleBytes);
  const std::string description = file.readString(section, "Description", "", kDescriptionBytes);
  replaceAll(description, component.description, "\\n", "\n");
  component.sizeKb = file.readInt(section, "Size", 0);
  component.installMethod = static_cast<int>(file.readInt(section, "Install", 0));
}

// An empty or missing "SHA256" leaves the package unchecked, as before the
// key existed; any other value must be a digest, or nothing is installed.
void readComponentDigest(const ProfileFile& file, const std::string& section,
                         Component& component) {
  const std::string text = file.readString(section, "SHA256", "", kSha256ValueBytes);
  if (text.empty()) return;
  Sha256Digest digest{};
  if (parseSha256Text(text, digest)) {
    component.sha256 = digest;
  } else {
    component.unavailableReason = kMalformedSha256;
  }
}

void readComponentUrls(const ProfileFile& file, const std::string& section, int siteCount,
                       Component& component) {
  for (int k = 1; k <= siteCount; ++k) {
    std::string url = file.readString(section, numberedKey("URL", k), "", kUrlBytes);
    if (url.empty()) break;
    component.urls[component.urlCount++] = std::move(url);
  }
}

bool isComponentSection(const std::string& name) {
  return name != kSitesSection && name.find('.') != std::string::npos &&
         name.size() <= kMaxSectionNameChars;
}

}  // namespace

bool loadVersionCatalog(SetupContext& context, const std::string& path) {
  VersionCatalog& catalog = context.catalog;
  clearCatalog(catalog);
  std::string text;
  if (!context.platform.fileSystem->readFile(path, text, kMaxVersionFileBytes)) text.clear();
  const ProfileFile file = ProfileFile::parse(text);

  readSites(file, catalog);
  const std::vector<std::string> sections = file.sectionNames(kSectionListBytes);
  if (sections.empty()) return false;

  for (const std::string& section : sections) {
    if (!isComponentSection(section)) continue;
    if (catalog.componentCount == kMaxComponents) break;
    const int group = groupIndexFor(catalog, section.substr(0, section.find('.')));
    if (group < 0) return false;
    auto component = std::unique_ptr<Component>(new (std::nothrow) Component());
    if (!component) return false;
    readComponentTexts(file, section, *component);
    readComponentUrls(file, section, catalog.siteCount, *component);
    readComponentDigest(file, section, *component);
    component->groupIndex = group;
    evaluateVersionCheck(context, component->versionCheck, component->installedVersion);
    catalog.components[catalog.componentCount++] = std::move(component);
  }
  return true;
}

bool freeVersionCatalog(VersionCatalog& catalog) {
  for (auto& component : catalog.components) component.reset();
  catalog.componentCount = 0;
  return true;
}

}  // namespace ks
