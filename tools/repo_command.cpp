// ksetup-tool repo check: reads a repository's version-info file and fetches
// every component's package from every site through the setup's own engine,
// then tells for each whether it was reachable, has the size the file
// declares and the digest it gives. Exit status 1 when anything is wrong.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "app/printable_text.h"
#include "catalog/sha256_text.h"
#include "catalog/version_catalog.h"
#include "download/download_job.h"
#include "download/download_url.h"
#include "download/file_digest.h"
#include "tools/commands.h"
#include "tools/engine_fetch.h"
#include "tools/json_writer.h"
#include "ui/headless/silent_page_view.h"

namespace ks::tool {

namespace {

namespace fs = std::filesystem;

constexpr const char* kRepoUsage = "usage: ksetup-tool repo check URL-or-folder [--json]\n";
constexpr const char* kVersionInfoPath = "/kestrova/version2.ini";

enum class Verdict { Ok, Differs, NotDeclared, Malformed, Unknown };

const char* verdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::Ok:
      return "ok";
    case Verdict::Differs:
      return "differs";
    case Verdict::NotDeclared:
      return "not declared";
    case Verdict::Malformed:
      return "malformed";
    default:
      return "-";
  }
}

// One package on one site.
struct Check {
  std::string component;
  int site = 0;  // 1 for URL01
  std::string url;
  bool reachable = false;
  std::uint64_t bytes = 0;
  std::uint32_t declaredKb = 0;
  Verdict size = Verdict::Unknown;
  Verdict sha256 = Verdict::Unknown;
  std::string found;    // the digest the package has
  std::string problem;  // why it wasn't fetched, as the status line said
  bool wrong() const {
    return !reachable || size == Verdict::Differs || sha256 == Verdict::Differs ||
           sha256 == Verdict::Malformed;
  }
};

// Keeps the last status line the engine wrote.
class StatusView : public SilentPageView {
 public:
  void setText(int controlId, const std::string& text) override {
    if (controlId == kIdcDownloadStatus) status = text;
  }
  std::string status;
};

// A fresh folder for the files fetched, removed with them.
class WorkFolder {
 public:
  WorkFolder() {
    std::random_device random;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    for (int attempt = 0; attempt < 8 && path_.empty() && !error; ++attempt) {
      const fs::path candidate = base / ("ksetup-repo-check-" + std::to_string(random()));
      if (fs::create_directory(candidate, error)) path_ = candidate.string();
    }
  }
  ~WorkFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return (fs::path(path_) / name).string(); }

 private:
  std::string path_;
};

class RepoCheck {
 public:
  explicit RepoCheck(Platform ports) { context_.platform = ports; }

  // The version-info file at a URL (fetched) or in a folder; false when it
  // can't be had.
  bool loadVersionInfo(const std::string& where);
  void checkEveryPackage();
  int report(bool json) const;

 private:
  bool fetch(Component& job, StatusView& view);
  void checkPackage(const Component& component, int urlIndex);
  void measure(const Component& component, const std::string& path, Check& check);

  SetupContext context_;
  WorkFolder work_;
  std::string source_;
  bool loaded_ = false;
  std::string loadProblem_;
  std::vector<Check> checks_;
  std::vector<std::string> unavailable_;
};

bool RepoCheck::fetch(Component& job, StatusView& view) {
  return fetchThroughEngine(job, context_.state, context_.platform, view).ok;
}

// A URL may name the file itself or the repository it lies in.
bool RepoCheck::loadVersionInfo(const std::string& where) {
  std::string path = where;
  if (where.find("://") != std::string::npos) {
    std::string repository = where;
    while (repository.ends_with('/')) repository.pop_back();
    source_ = where.ends_with(".ini") ? where : repository + kVersionInfoPath;
    Component job;
    job.urls[0] = source_;
    job.localPath = work_.file(kVersionInfoFileName);
    StatusView view;
    if (work_.path().empty() || !fetch(job, view)) {
      loadProblem_ = "the version-info file could not be fetched: " + view.status;
      return false;
    }
    path = job.localPath;
  } else if (fs::is_directory(where)) {
    path = (fs::path(where) / kVersionInfoFileName).string();
  }
  if (source_.empty()) source_ = path;
  loaded_ = loadVersionCatalog(context_, path);
  if (!loaded_) loadProblem_ = "the version-info file is missing or corrupt";
  return loaded_;
}

void RepoCheck::checkEveryPackage() {
  const VersionCatalog& catalog = context_.catalog;
  for (int i = 0; i < catalog.componentCount; ++i) {
    const Component& component = *catalog.components[static_cast<std::size_t>(i)];
    if (!component.unavailableReason.empty()) unavailable_.push_back(component.title);
    if (component.urlCount == 0) {
      Check check;
      check.component = component.title;
      check.problem = "no URL";
      checks_.push_back(check);
    }
    for (int u = 0; u < component.urlCount; ++u) checkPackage(component, u);
  }
}

// Fetched without the declared digest and without the setup's size limit,
// so a package that differs is still measured and its digest shown.
void RepoCheck::checkPackage(const Component& component, int urlIndex) {
  Check check;
  check.component = component.title;
  check.site = urlIndex + 1;
  check.url = urlForDisplay(component.urls[static_cast<std::size_t>(urlIndex)]);
  check.declaredKb = static_cast<std::uint32_t>(component.sizeKb);
  Component job;
  job.urls[0] = component.urls[static_cast<std::size_t>(urlIndex)];
  std::string name = packageFileName(component);
  if (name.empty() || work_.path().empty()) name = "package";
  job.localPath = work_.file(name);
  StatusView view;
  check.reachable = fetch(job, view);
  if (check.reachable) {
    measure(component, job.localPath, check);
  } else {
    check.problem = view.status;
  }
  std::error_code ignored;
  fs::remove(job.localPath, ignored);
  checks_.push_back(check);
}

// The declared size is in kilobytes, rounded either way.
void RepoCheck::measure(const Component& component, const std::string& path, Check& check) {
  std::error_code error;
  check.bytes = fs::file_size(path, error);
  const std::uint64_t down = check.bytes / 1024;
  const std::uint64_t up = (check.bytes + 1023) / 1024;
  check.size = check.declaredKb == 0                                  ? Verdict::NotDeclared
               : (check.declaredKb == down || check.declaredKb == up) ? Verdict::Ok
                                                                      : Verdict::Differs;
  Sha256Digest digest{};
  const bool hashed =
      sha256OfFile(*context_.platform.fileSystem, *context_.platform.hashing, path, digest);
  if (hashed) check.found = sha256Text(digest);
  if (!component.unavailableReason.empty()) {
    check.sha256 = Verdict::Malformed;
  } else if (!component.sha256) {
    check.sha256 = Verdict::NotDeclared;
  } else {
    check.sha256 = hashed && digest == *component.sha256 ? Verdict::Ok : Verdict::Differs;
  }
}

std::string checkJson(const Check& c) {
  std::string out = "{\"component\": " + jsonString(c.component);
  out += ", \"site\": " + std::to_string(c.site);
  out += ", \"url\": " + jsonString(c.url);
  out += ", \"reachable\": " + std::string(jsonBool(c.reachable));
  out += ", \"bytes\": " + std::to_string(c.bytes);
  out += ", \"declaredKb\": " + std::to_string(c.declaredKb);
  out += ", \"size\": " + jsonString(verdictText(c.size));
  out += ", \"sha256\": " + jsonString(verdictText(c.sha256));
  out += ", \"found\": " + jsonString(c.found);
  out += ", \"problem\": " + jsonString(c.problem);
  out += ", \"ok\": " + std::string(jsonBool(!c.wrong()));
  return out + "}";
}

std::string sizeText(const Check& c) {
  if (!c.reachable) return "-";
  const std::string found = std::to_string((c.bytes + 1023) / 1024) + " KB";
  if (c.size == Verdict::Differs) {
    return "differs: " + found + ", declared " + std::to_string(c.declaredKb) + " KB";
  }
  return std::string(verdictText(c.size)) + " (" + found + ")";
}

std::string digestText(const Check& c) {
  if (!c.reachable) return "-";
  if (c.sha256 == Verdict::Ok) return "ok";
  return std::string(verdictText(c.sha256)) + ": SHA256=" + c.found;
}

void printTable(const std::vector<Check>& checks) {
  std::size_t width = std::string_view("COMPONENT").size();
  for (const Check& c : checks) width = std::max(width, printableText(c.component).size());
  std::printf("%-*s  SITE  REACHABLE  %-28s  SHA-256\n", static_cast<int>(width), "COMPONENT",
              "SIZE");
  for (const Check& c : checks) {
    std::printf("%-*s  %4d  %-9s  %-28s  %s\n", static_cast<int>(width),
                printableText(c.component).c_str(), c.site, c.reachable ? "yes" : "no",
                sizeText(c).c_str(), digestText(c).c_str());
    std::printf("%-*s        %s%s%s\n", static_cast<int>(width), "", printableText(c.url).c_str(),
                c.problem.empty() ? "" : "  -- ", printableText(c.problem).c_str());
  }
}

int RepoCheck::report(bool json) const {
  bool wrong = !loaded_ || !unavailable_.empty();
  for (const Check& check : checks_) wrong = wrong || check.wrong();
  if (json) {
    std::string out = "{\"versionInfo\": " + jsonString(urlForDisplay(source_));
    out += ", \"loaded\": " + std::string(jsonBool(loaded_));
    out += ", \"problem\": " + jsonString(loadProblem_);
    out += ", \"unavailable\": [";
    for (std::size_t i = 0; i < unavailable_.size(); ++i) {
      out += (i ? ", " : "") + jsonString(unavailable_[i]);
    }
    out += "], \"checks\": [";
    for (std::size_t i = 0; i < checks_.size(); ++i) out += (i ? ", " : "") + checkJson(checks_[i]);
    out += "], \"ok\": " + std::string(jsonBool(!wrong)) + "}";
    std::printf("%s\n", out.c_str());
  } else {
    std::printf("Version-info file: %s\n", printableText(urlForDisplay(source_)).c_str());
    if (!loaded_) std::printf("Problem: %s\n", loadProblem_.c_str());
    for (const std::string& title : unavailable_) {
      std::printf("Unavailable: %s (its SHA256 value is malformed)\n",
                  printableText(title).c_str());
    }
    if (!checks_.empty()) printTable(checks_);
    std::printf("%s\n", wrong ? "Something is wrong." : "Everything is as declared.");
  }
  std::fflush(stdout);
  return wrong ? 1 : 0;
}

}  // namespace

int runRepoCommand(const Arguments& args, const AdapterSet& adapters) {
  Arguments operands;
  bool json = false;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else {
      operands.push_back(arg);
    }
  }
  if (operands.size() != 2 || operands[0] != "check") {
    std::fputs(kRepoUsage, stderr);
    return 2;
  }
  const FetchPorts client(adapters);
  RepoCheck check(client.ports());
  if (check.loadVersionInfo(operands[1])) check.checkEveryPackage();
  return check.report(json);
}

}  // namespace ks::tool
