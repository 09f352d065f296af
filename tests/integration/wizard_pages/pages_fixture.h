#pragma once
// The whole wizard on the headless frontend with real downloads from a
// folder served on 127.0.0.1, a real file system in a temporary folder, and
// fakes for the registry, the shell and the system.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/posix/curl_internet_api.h"
#include "platform/posix/openssl_hashing.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/fake_platform.h"
#include "tests/support/posix/peer_process.h"
#include "tests/support/posix/run_command.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/headless_wizard_view.h"
#include "ui/headless/scripted_dialogs.h"
#include "wizard/wizard_frame.h"

namespace ks::test {

class PagesTest : public ::testing::Test {
 protected:
  PagesTest();
  ~PagesTest() override;

  // The repository on the server: version2.ini under kestrova/, packages
  // under pub/ (each a small text file unless written otherwise; a name may
  // hold folders).
  void publishVersionInfo(const std::string& text);
  void publishPackage(const std::string& name, const std::string& content);
  // The SHA256 value of a package's content.
  std::string sha256Of(const std::string& content);
  std::string live() const;
  std::string dead() const;

  void startWizard();
  void next();
  void back();
  void click(int controlId);
  // Runs the UI thread until the condition holds (at most 30 seconds).
  bool waitFor(const std::function<bool()>& condition);
  // Runs the UI thread until no download worker is left. A thread's end
  // sends the page nothing, so it is looked for between pieces of work.
  bool waitForWorkersToEnd();
  // Goes from the first page to the Component Options page and waits until
  // its catalog is there (or the fetch was given up).
  void toComponentOptions(int option);
  // Ticks "Delete installation files after install." on the way.
  bool deleteAfterInstall = false;

  HeadlessPageView& page(int templateId);
  int shown() const { return view.shownPage; }
  void expectDialogsDone();

  TempDir temp;
  TempDir repository;
  std::optional<PeerProcess> http{std::in_place};
  int deadPort = 0;
  FakePlatform fakes;
  PosixFileSystem files;
  OpensslHashing hashing;
  ScriptedDialogs dialogs;
  std::optional<CurlInternetApi> internet;
  HeadlessDispatcher ui;
  HeadlessWizardView view;
  SetupContext context;
  std::unique_ptr<WizardFrame> frame;
};

}  // namespace ks::test
