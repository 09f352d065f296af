// ksetup-tool catalog / version-check / version-below: what the setup makes of
// a version-info file on this computer.

#include <cstdio>
#include <string>

#include "catalog/catalog_records.h"
#include "catalog/version_catalog.h"
#include "catalog/version_check.h"
#include "download/download_url.h"
#include "tools/commands.h"
#include "tools/json_writer.h"

namespace ks::tool {

namespace {

// The folder options shared by catalog and version-check, then one operand.
struct FolderOptions {
  std::string installDir;
  std::string windowsDir;
  std::string systemDir;
  std::string operand;
  // An operand was given; it may be empty (an empty expression is a value).
  bool valid = false;
};

bool takeOption(const Arguments& args, std::size_t& i, std::string_view name, std::string& value) {
  const std::string& arg = args[i];
  if (arg == name && i + 1 < args.size()) {
    value = args[++i];
    return true;
  }
  const std::string prefix = std::string(name) + "=";
  if (arg.rfind(prefix, 0) == 0) {
    value = arg.substr(prefix.size());
    return true;
  }
  return false;
}

FolderOptions parseFolderOptions(const Arguments& args) {
  FolderOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (takeOption(args, i, "--install-dir", options.installDir) ||
        takeOption(args, i, "--windows-dir", options.windowsDir) ||
        takeOption(args, i, "--system-dir", options.systemDir)) {
      continue;
    }
    if (options.valid) {
      options.valid = false;  // a second operand
      return options;
    }
    options.operand = args[i];
    options.valid = true;
  }
  return options;
}

void applyFolders(const FolderOptions& options, SetupState& state) {
  state.installDir = options.installDir;
  state.windowsDir = options.windowsDir;
  state.systemDir = options.systemDir;
}

int usage(const char* text) {
  std::fprintf(stderr, "usage: ksetup-tool %s\n", text);
  return 2;
}

std::string jsonStringList(const auto& items, auto&& textOf, int count) {
  std::string out = "[";
  for (int i = 0; i < count; ++i) {
    if (i) out += ", ";
    out += jsonString(textOf(items[i]));
  }
  return out + "]";
}

std::string componentJson(const Component& c) {
  std::string out = "{\"group\": " + std::to_string(c.groupIndex);
  out += ", \"title\": " + jsonString(c.title);
  out += ", \"description\": " + jsonString(c.description);
  out += ", \"required\": " + jsonString(c.requiredVersion);
  out += ", \"version\": " + jsonString(c.availableVersion);
  out += ", \"versionCheck\": " + jsonString(c.versionCheck);
  out += ", \"installedVersion\": " + jsonString(c.installedVersion);
  out += ", \"sizeKb\": " + std::to_string(c.sizeKb);
  out += ", \"installMethod\": " + std::to_string(c.installMethod);
  out += ", \"urls\": " +
         jsonStringList(
             c.urls, [](const std::string& u) { return urlForDisplay(u); }, c.urlCount);
  out += ", \"packageFile\": " + jsonString(packageFileName(c));
  return out + "}";
}

std::string catalogJson(bool loaded, const VersionCatalog& catalog) {
  std::string out = std::string("{\"loaded\": ") + jsonBool(loaded);
  out += ", \"sites\": " +
         jsonStringList(
             catalog.sites, [](const DownloadSite& s) { return s.name; }, catalog.siteCount);
  out += ", \"groups\": " +
         jsonStringList(
             catalog.groups, [](const ComponentGroup& g) { return g.name; }, catalog.groupCount);
  out += ", \"components\": [";
  for (int i = 0; i < catalog.componentCount; ++i) {
    if (i) out += ", ";
    out += componentJson(*catalog.components[i]);
  }
  return out + "]}";
}

}  // namespace

int runCatalogCommand(const Arguments& args, const AdapterSet& adapters) {
  const FolderOptions options = parseFolderOptions(args);
  if (!options.valid) {
    return usage("catalog [--install-dir DIR] [--windows-dir DIR] [--system-dir DIR] FILE");
  }
  SetupContext context;
  context.platform = adapters.ports;
  applyFolders(options, context.state);
  const bool loaded = loadVersionCatalog(context, options.operand);
  std::printf("%s\n", catalogJson(loaded, context.catalog).c_str());
  return 0;
}

int runVersionCheckCommand(const Arguments& args, const AdapterSet& adapters) {
  const FolderOptions options = parseFolderOptions(args);
  if (!options.valid) {
    return usage("version-check [--install-dir DIR] [--windows-dir DIR] [--system-dir DIR] EXPR");
  }
  SetupContext context;
  context.platform = adapters.ports;
  applyFolders(options, context.state);
  std::string result;
  const bool ok = evaluateVersionCheck(context, options.operand, result);
  std::printf("{\"ok\": %s, \"result\": %s}\n", jsonBool(ok), jsonString(result).c_str());
  return 0;
}

int runVersionBelowCommand(const Arguments& args, const AdapterSet&) {
  if (args.size() != 2) return usage("version-below INSTALLED REQUIRED");
  std::printf("%s\n", jsonBool(versionIsBelow(args[0], args[1])));
  return 0;
}

}  // namespace ks::tool
