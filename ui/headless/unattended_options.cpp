#include "ui/headless/unattended_options.h"

#include <charconv>
#include <functional>
#include <map>

#include "app/start_up.h"

namespace ks {

namespace {

bool parseNumber(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [last, problem] = std::from_chars(text.data(), end, value);
  return problem == std::errc() && last == end && value >= 0;
}

std::vector<std::string> splitTitles(const std::string& list) {
  std::vector<std::string> titles;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    if (comma > start) titles.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return titles;
}

bool setMode(const std::string& value, UnattendedOptions& options) {
  static const std::map<std::string, SetupMode> kModes = {{"internet", SETUP_MODE_INTERNET},
                                                          {"local", SETUP_MODE_LOCAL},
                                                          {"download", SETUP_MODE_DOWNLOAD_ONLY}};
  auto found = kModes.find(value);
  if (found == kModes.end()) return false;
  options.mode = found->second;
  return true;
}

bool setComponents(const std::string& value, UnattendedOptions& options) {
  if (value == "required") {
    options.components = UnattendedOptions::Components::Required;
  } else if (value == "all") {
    options.components = UnattendedOptions::Components::All;
  } else {
    options.components = UnattendedOptions::Components::Titles;
    options.titles = splitTitles(value);
  }
  return !value.empty();
}

}  // namespace

bool wantsUnattendedRun(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--unattended") return true;
  }
  return false;
}

bool parseUnattendedOptions(const std::vector<std::string>& args, UnattendedOptions& options,
                            std::string& error) {
  using Setter = std::function<bool(const std::string&)>;
  const std::map<std::string, Setter> valued = {
      {"--mode", [&](const std::string& v) { return setMode(v, options); }},
      {"--archive-dir",
       [&](const std::string& v) {
         options.archiveDir = v;
         return !v.empty();
       }},
      {"--download-dir",
       [&](const std::string& v) {
         options.downloadDir = v;
         return !v.empty();
       }},
      {"--install-dir",
       [&](const std::string& v) {
         options.installDir = v;
         return !v.empty();
       }},
      {"--site",
       [&](const std::string& v) {
         int n = 0;
         return parseNumber(v, n) && (options.site = n, true);
       }},
      {"--components", [&](const std::string& v) { return setComponents(v, options); }},
      {"--proxy",
       [&](const std::string& v) {
         options.proxy = v;
         return !v.empty();
       }},
      {"--retries", [&](const std::string& v) { return parseNumber(v, options.retries); }},
  };
  const std::map<std::string, bool*> flags = {
      {"--delete-after-install", &options.deleteAfterInstall},
      {"--desktop", &options.desktop},
      {"--programs", &options.programs},
      {"--common-programs", &options.commonPrograms},
  };
  for (const std::string& arg : args) {
    if (arg == "--unattended" || arg == kUninstallArgument) continue;
    if (auto flag = flags.find(arg); flag != flags.end()) {
      *flag->second = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    auto setter = valued.find(arg.substr(0, equals));
    if (equals == std::string::npos || setter == valued.end()) {
      error = "unknown option " + arg;
      return false;
    }
    if (!setter->second(arg.substr(equals + 1))) {
      error = "bad value in " + arg;
      return false;
    }
  }
  if (options.mode == SETUP_MODE_NONE) {
    error = "--mode=internet|local|download is required";
    return false;
  }
  return true;
}

const char* unattendedUsage() {
  return "  --unattended --mode=internet|local|download [--archive-dir=DIR]\n"
         "      [--download-dir=DIR] [--install-dir=DIR] [--site=N]\n"
         "      [--components=required|all|TITLE,...] [--delete-after-install]\n"
         "      [--desktop] [--programs] [--common-programs] [--proxy=HOST:PORT]\n"
         "      [--retries=N]\n"
         "    Runs the installation without windows: questions get the answer that\n"
         "    continues the installation, the retry question is answered Retry up to N\n"
         "    times (default 2), then Cancel. Prints every page title and status line\n"
         "    and a summary per component; exits 0 only when every selected component\n"
         "    succeeded, 1 when one failed, 2 for bad usage or a folder that can't be\n"
         "    used. --site counts from 0 (the first site of the version-info file).\n"
         "  -uninstall\n"
         "    Removes the installed application (with --unattended, without asking).\n"
         "    Only this exact argument uninstalls.\n";
}

}  // namespace ks
