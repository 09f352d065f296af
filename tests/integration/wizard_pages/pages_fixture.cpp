#include "tests/integration/wizard_pages/pages_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "catalog/component_options_page.h"
#include "catalog/sha256_text.h"
#include "download/download_worker.h"
#include "tests/support/source_dir.h"
#include "wizard/setup_options_page.h"
#include "wizard/setup_wizard.h"

namespace ks::test {

namespace fs = std::filesystem;

PagesTest::PagesTest() {
  fs::create_directories(repository.path() + "/kestrova");
  fs::create_directories(repository.path() + "/pub");
  EXPECT_TRUE(
      http->start({"/usr/bin/python3", sourceDir() + "/scripts/serve-folder", repository.path()},
                  std::chrono::seconds(20)));
  deadPort = freeLoopbackPort();
  CurlInternetOptions options;
  options.idleTimeout = std::chrono::milliseconds(5000);
  internet.emplace(dialogs, options);
  context.platform = fakes.ports();
  context.platform.fileSystem = &files;
  context.platform.hashing = &hashing;
  context.platform.dialogs = &dialogs;
  context.platform.internet = &*internet;
  context.platform.ui = &ui;
  context.versionServers = {live(), live()};
  context.state.setupPath = temp.write("setup/setup.exe", "setup program");
  context.state.setupDir = temp.path() + "/setup";
  context.state.setupFileName = "setup.exe";
  fakes.shell.folders[SpecialFolder::Desktop] = temp.path() + "/Desktop";
}

PagesTest::~PagesTest() {
  if (frame && !frame->closed()) frame->finish();
  ui.runPending();
  EXPECT_EQ(view.rejectedControls(), std::vector<std::string>{});
}

void PagesTest::publishVersionInfo(const std::string& text) {
  std::ofstream(repository.path() + "/kestrova/version2.ini") << text;
}

void PagesTest::publishPackage(const std::string& name, const std::string& content) {
  const fs::path path = repository.path() + "/pub/" + name;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

std::string PagesTest::sha256Of(const std::string& content) {
  const auto sha256 = hashing.newSha256();
  sha256->update(content.data(), content.size());
  Sha256Digest digest{};
  EXPECT_TRUE(sha256->finish(digest));
  return sha256Text(digest);
}

std::string PagesTest::live() const {
  return "127.0.0.1:" + std::to_string(http->port());
}
std::string PagesTest::dead() const {
  return "127.0.0.1:" + std::to_string(deadPort);
}

void PagesTest::startWizard() {
  frame = std::make_unique<WizardFrame>(view, ui, makeWizardPages(context));
  frame->start();
  ui.runPending();
}

void PagesTest::next() {
  frame->next();
  ui.runPending();
}

void PagesTest::back() {
  frame->back();
  ui.runPending();
}

void PagesTest::click(int controlId) {
  ASSERT_TRUE(view.currentPage()->userClick(controlId)) << "control " << controlId;
  frame->command(controlId);
  ui.runPending();
}

bool PagesTest::waitFor(const std::function<bool()>& condition) {
  return ui.runUntil(condition, std::chrono::seconds(30));
}

bool PagesTest::waitForWorkersToEnd() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  const auto ended = [] { return runningDownloadWorkers() == 0; };
  while (!ui.runUntil(ended, std::chrono::milliseconds(10))) {
    if (std::chrono::steady_clock::now() > deadline) return false;
  }
  return true;
}

void PagesTest::toComponentOptions(int option) {
  startWizard();
  click(option);
  if (deleteAfterInstall) click(kIdcDeleteAfterInstall);
  next();
  if (shown() == 153) next();
  ASSERT_EQ(shown(), kComponentOptionsTemplate);
  ASSERT_TRUE(waitFor([&] {
    return context.state.catalogLoaded == 1 ||
           page(kComponentOptionsTemplate).at(kIdcVersionStatus).text == kVersionInfoAborted;
  }));
  ui.runPending();
}

HeadlessPageView& PagesTest::page(int templateId) {
  HeadlessPageView* found = view.page(templateId);
  EXPECT_NE(found, nullptr) << "page " << templateId << " was never created";
  static HeadlessPageView missing(0);
  return found ? *found : missing;
}

void PagesTest::expectDialogsDone() {
  EXPECT_TRUE(dialogs.failures.empty()) << (dialogs.failures.empty() ? "" : dialogs.failures[0]);
  EXPECT_TRUE(dialogs.scriptDone());
}

}  // namespace ks::test
