#include "catalog/version_check.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "app/fixed_text.h"
#include "catalog/catalog_records.h"
#include "catalog/version_block.h"
#include "platform/file_system.h"
#include "platform/libraries.h"
#include "platform/version_resources.h"

namespace ks {

namespace {

constexpr std::uint16_t kRequestedWinsockVersion = 0x0002;  // 2.0
constexpr const char* kShellLibrary = "shlwapi.dll";

bool libVersionProbe(SetupContext& context, const std::string&, std::string& result) {
  result.clear();
  int major = 0, minor = 0, build = 0;
  if (getDllVersion(context, kShellLibrary, &major, &minor, &build) != 0) return false;
  result = std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build);
  return true;
}

bool fileVersionProbe(SetupContext& context, const std::string& path, std::string& result) {
  result.clear();
  return getFileVersionString(context, path, result);
}

bool winsockVersionProbe(SetupContext& context, const std::string& name, std::string& result) {
  result.clear();
  std::unique_ptr<LoadedLibrary> library = context.platform.libraries->loadLibrary(name);
  if (!library) return false;
  std::uint16_t highVersion = 0;
  if (library->hasExport("WSAStartup") &&
      library->wsaStartup(kRequestedWinsockVersion, highVersion) == 0) {
    result = std::to_string(highVersion & 0xFF) + "." + std::to_string(highVersion >> 8);
  }
  if (library->hasExport("WSACleanup")) library->wsaCleanup();
  return !result.empty();
}

bool fileExistProbe(SetupContext& context, const std::string& path, std::string& result) {
  result.clear();
  if (!pathExists(context, path)) return false;
  result = "1.0";
  return true;
}

using Probe = bool (*)(SetupContext&, const std::string&, std::string&);
struct ProbeName {
  std::string_view name;
  Probe run;
};
// Tested in this order, so "FileVersion" is never taken for "FileExist".
constexpr std::array<ProbeName, 4> kProbes = {{
    {"LibVersion", libVersionProbe},
    {"FileVersion", fileVersionProbe},
    {"WinsockVersion", winsockVersionProbe},
    {"FileExist", fileExistProbe},
}};

const ProbeName* probeAt(std::string_view text, std::size_t pos) {
  for (const ProbeName& probe : kProbes) {
    if (text.substr(pos, probe.name.size()) == probe.name) return &probe;
  }
  return nullptr;
}

// Parses name ( "argument" ) at pos; on success pos is past the call.
bool parseCall(std::string_view text, std::size_t& pos, std::size_t nameLength,
               std::string& argument) {
  pos = skipBlanks(text, pos + nameLength);
  if (pos >= text.size() || text[pos] != '(') return false;
  pos = skipBlanks(text, pos + 1);
  if (pos >= text.size() || text[pos] != '"') return false;
  const std::size_t close = text.find('"', pos + 1);
  if (close == std::string_view::npos) return false;
  argument = std::string(text.substr(pos + 1, close - pos - 1));
  pos = skipBlanks(text, close + 1);
  if (pos >= text.size() || text[pos] != ')') return false;
  pos = skipBlanks(text, pos + 1);
  return true;
}

// The parts of a version between its dots, blanks and tabs around each
// dropped: "1. 0. 0. 5" has the parts 1, 0, 0 and 5.
std::vector<std::string_view> versionParts(std::string_view version) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t dot = std::min(version.find('.', start), version.size());
    std::string_view part = version.substr(start, dot - start);
    part.remove_prefix(std::min(part.find_first_not_of(" \t"), part.size()));
    part.remove_suffix(part.size() - (part.find_last_not_of(" \t") + 1));
    parts.push_back(part);
    if (dot == version.size()) return parts;
    start = dot + 1;
  }
}

bool isNumberPart(std::string_view part) {
  return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Negative, 0 or positive as part a orders before, with or after part b.
// Two numbers (an empty part counts as 0) compare by value, whatever their
// length or leading zeros; any other pair compares as text.
int compareVersionParts(std::string_view a, std::string_view b) {
  if (isNumberPart(a) && isNumberPart(b)) {
    a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
    b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  }
  return a.compare(b);
}

}  // namespace

bool evaluateVersionCheck(SetupContext& context, std::string_view expression, std::string& result) {
  if (expression.empty()) return false;
  result.clear();
  std::size_t pos = skipBlanks(expression, 0);
  for (;;) {
    if (!result.empty() || pos >= expression.size()) return true;
    const ProbeName* probe = probeAt(expression, pos);
    if (!probe) return true;
    std::string argument;
    std::string expanded;
    if (!parseCall(expression, pos, probe->name.size(), argument)) return false;
    // Arguments are paths of at most 259 characters; longer ones are refused
    // rather than cut, so a probe never looks at a different path.
    if (argument.size() > kMaxProbeArgumentChars) return false;
    if (!expandPlaceholders(context.state, argument, expanded)) return false;
    if (expanded.size() > kMaxProbeArgumentChars) return false;
    probe->run(context, expanded, result);
    cutToBuffer(result, kVersionBytes);
  }
}

bool versionIsBelow(std::string_view installed, std::string_view required) {
  const std::vector<std::string_view> a = versionParts(installed);
  const std::vector<std::string_view> b = versionParts(required);
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const int order = compareVersionParts(i < a.size() ? a[i] : "", i < b.size() ? b[i] : "");
    if (order != 0) return order < 0;
  }
  return false;
}

bool expandPlaceholders(const SetupState& state, std::string_view text, std::string& output) {
  const std::array<std::pair<std::string_view, std::string_view>, 3> placeholders = {{
      {"%InstallDir%", state.installDir},
      {"%SystemDir%", state.systemDir},
      {"%WindowsDir%", state.windowsDir},
  }};
  std::string work(text);
  if (work.size() >= kExpansionBufferBytes) return false;
  for (const auto& [placeholder, folder] : placeholders) {
    std::string replaced;
    if (!replaceAll(work, replaced, placeholder, folder)) return false;
    if (replaced.size() >= kExpansionBufferBytes) return false;
    work = std::move(replaced);
  }
  output = std::move(work);
  return true;
}

bool replaceAll(std::string_view source, std::string& destination, std::string_view pattern,
                std::string_view replacement) {
  std::string result;
  if (pattern.empty()) {
    destination = std::string(source);
    return true;
  }
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = source.find(pattern, from);
    if (at == std::string_view::npos) break;
    result.append(source.substr(from, at - from));
    result.append(replacement);
    from = at + pattern.size();
  }
  result.append(source.substr(from));
  destination = std::move(result);
  return true;
}

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  return pos;
}

bool pathExists(SetupContext& context, const std::string& path) {
  return context.platform.fileSystem->pathExists(path);
}

bool getFileVersionString(SetupContext& context, const std::string& path, std::string& output) {
  std::vector<std::uint8_t> block;
  if (!context.platform.versionResources->readVersionInfo(path, block) || block.empty()) {
    return false;
  }
  output.clear();
  std::vector<std::uint8_t> translation;
  if (!queryVersionValue(block, "\\VarFileInfo\\Translation", translation) ||
      translation.size() < 4) {
    return true;
  }
  const unsigned language = translation[0] | (translation[1] << 8);
  const unsigned codePage = translation[2] | (translation[3] << 8);
  char subBlock[64];
  std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%02x%02x%02x%02x\\FileVersion",
                language >> 8, language & 0xFF, codePage >> 8, codePage & 0xFF);
  std::string text;
  if (!queryVersionString(block, subBlock, text)) return true;
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  output = std::move(text);
  return true;
}

std::int32_t getDllVersion(SetupContext& context, const std::string& library, int* major,
                           int* minor, int* build) {
  if (!major || !minor || !build) return E_FAIL_RESULT;
  std::unique_ptr<LoadedLibrary> loaded = context.platform.libraries->loadLibrary(library);
  if (!loaded) return E_FAIL_RESULT;
  if (!loaded->hasExport("DllGetVersion")) {
    *major = 4;
    *minor = 0;
    *build = 0;
    return 0;
  }
  DllVersionInfo info;
  const std::int32_t status = loaded->dllGetVersion(info);
  if (status < 0) return E_FAIL_RESULT;
  *major = static_cast<int>(info.majorVersion);
  *minor = static_cast<int>(info.minorVersion);
  *build = static_cast<int>(info.buildNumber);
  return status;
}

}  // namespace ks
