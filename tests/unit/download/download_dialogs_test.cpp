// The Proxy Settings and retry dialogs as their users see them.

#include <gtest/gtest.h>

#include <sstream>

#include "download/proxy_dialog.h"
#include "download/retry_dialog.h"
#include "download/retry_question.h"
#include "tests/support/fake_download_view.h"
#include "ui/headless/unattended_dialogs.h"

namespace ks {
namespace {

class ProxyDialogTest : public ::testing::Test {
 protected:
  test::FakeDownloadView view;
  SetupState state;
  ProxyDialogController dialog{view, state};
};

TEST_F(ProxyDialogTest, OpensWithTheSettingsOfThisRun) {
  state.useProxy = 1;
  state.proxyServer = "proxy.test:8080";
  dialog.onInit();
  EXPECT_TRUE(view.checked[kIdcUseProxy]);
  EXPECT_TRUE(view.enabled[kIdcProxyServer]);
  EXPECT_EQ(view.texts[kIdcProxyServer], "proxy.test:8080");
}

TEST_F(ProxyDialogTest, EditIsDisabledWhileTheBoxIsUnticked) {
  state.proxyServer = "kept.test:1";
  dialog.onInit();
  EXPECT_FALSE(view.checked[kIdcUseProxy]);
  EXPECT_FALSE(view.enabled[kIdcProxyServer]);
  EXPECT_EQ(view.texts[kIdcProxyServer], "kept.test:1");
}

TEST_F(ProxyDialogTest, TickingTheBoxEnablesTheEditAndUntickingDisablesIt) {
  dialog.onInit();
  view.checked[kIdcUseProxy] = true;
  EXPECT_FALSE(dialog.onCommand(kIdcUseProxy, 0).ends);
  EXPECT_TRUE(view.enabled[kIdcProxyServer]);
  view.checked[kIdcUseProxy] = false;
  dialog.onCommand(kIdcUseProxy, 0);
  EXPECT_FALSE(view.enabled[kIdcProxyServer]);
}

TEST_F(ProxyDialogTest, OkStoresTheProxyAsTyped) {
  dialog.onInit();
  view.checked[kIdcUseProxy] = true;
  view.texts[kIdcProxyServer] = "proxyhost";  // no port: accepted unchanged
  const DialogCommandResult result = dialog.onCommand(kIdOk, 0);
  EXPECT_TRUE(result.ends);
  EXPECT_EQ(result.result, 1);
  EXPECT_EQ(state.useProxy, 1);
  EXPECT_EQ(state.proxyServer, "proxyhost");
}

TEST_F(ProxyDialogTest, OkWithTheBoxUntickedSwitchesOffButKeepsTheText) {
  state.useProxy = 1;
  state.proxyServer = "old.test:1";
  dialog.onInit();
  view.checked[kIdcUseProxy] = false;
  view.texts[kIdcProxyServer] = "typed.test:2";
  dialog.onCommand(kIdOk, 0);
  EXPECT_EQ(state.useProxy, 0);
  EXPECT_EQ(state.proxyServer, "typed.test:2");
}

TEST_F(ProxyDialogTest, ProxyTextIsCutTo254Characters) {
  dialog.onInit();
  view.texts[kIdcProxyServer] = std::string(300, 'p');
  dialog.onCommand(kIdOk, 0);
  EXPECT_EQ(state.proxyServer, std::string(254, 'p'));
}

TEST_F(ProxyDialogTest, CancelChangesNothing) {
  state.proxyServer = "old.test:1";
  dialog.onInit();
  view.checked[kIdcUseProxy] = true;
  view.texts[kIdcProxyServer] = "new.test:2";
  const DialogCommandResult result = dialog.onCommand(kIdCancel, 0);
  EXPECT_TRUE(result.ends);
  EXPECT_EQ(result.result, 2);
  EXPECT_EQ(state.useProxy, 0);
  EXPECT_EQ(state.proxyServer, "old.test:1");
}

TEST_F(ProxyDialogTest, NotificationsOtherThanClicksAreIgnored) {
  dialog.onInit();
  view.texts[kIdcProxyServer] = "x";
  EXPECT_FALSE(dialog.onCommand(kIdOk, 1).ends);
  EXPECT_TRUE(state.proxyServer.empty());
}

TEST(RetryDialog, RetryAndCancelEndTheDialog) {
  int proxyDialogs = 0;
  RetryDialogController dialog([&] { ++proxyDialogs; });
  EXPECT_EQ(dialog.onCommand(kIdOk, 0).result, kRetryResultRetry);
  EXPECT_TRUE(dialog.onCommand(kIdCancel, 0).ends);
  EXPECT_EQ(dialog.onCommand(kIdCancel, 0).result, kRetryResultCancel);
  EXPECT_EQ(proxyDialogs, 0);
}

TEST(RetryDialog, AdvancedOpensTheProxyDialogAndStaysOpen) {
  int proxyDialogs = 0;
  RetryDialogController dialog([&] { ++proxyDialogs; });
  EXPECT_FALSE(dialog.onCommand(kIdcAdvanced, 0).ends);
  EXPECT_EQ(proxyDialogs, 1);
  EXPECT_FALSE(dialog.onCommand(kIdcAdvanced, 1).ends);
  EXPECT_EQ(proxyDialogs, 1);
}

// Advanced, tick, enter a proxy, OK, then Retry: the settings are in place
// for the next download.
TEST(RetryDialog, ProxyEnteredThroughAdvancedIsSetBeforeRetry) {
  SetupState state;
  test::FakeDownloadView proxyView;
  RetryDialogController dialog([&] {
    ProxyDialogController proxy(proxyView, state);
    proxy.onInit();
    proxyView.checked[kIdcUseProxy] = true;
    proxy.onCommand(kIdcUseProxy, 0);
    proxyView.texts[kIdcProxyServer] = "proxy.test:3128";
    proxy.onCommand(kIdOk, 0);
  });
  dialog.onCommand(kIdcAdvanced, 0);
  EXPECT_EQ(dialog.onCommand(kIdOk, 0).result, kRetryResultRetry);
  EXPECT_EQ(state.useProxy, 1);
  EXPECT_EQ(state.proxyServer, "proxy.test:3128");
}

// After a server that sent too slowly the dialog says so; the unattended
// answers print what it shows.
TEST(RetryDialog, SaysWhenTheServerWasTooSlow) {
  std::ostringstream out;
  UnattendedDialogs dialogs(out, 1);
  SetupContext context;
  context.platform.dialogs = &dialogs;
  EXPECT_TRUE(askRetryDownload(context, true));
  EXPECT_FALSE(askRetryDownload(context, false));
  EXPECT_EQ(out.str(),
            "[Kestrova Active Setup] Setup was unable to download the file: the server is too "
            "slow. -> Retry\n"
            "[Kestrova Active Setup] Setup was unable to download the file. -> Cancel\n");
}

// A message of several lines is printed on one; other control characters
// still can't reach the terminal.
TEST(UnattendedMessages, StayOnOneLineOfTheOutput) {
  std::ostringstream out;
  UnattendedDialogs dialogs(out, 1);
  dialogs.messageBox({.text = "The folder '/opt/k' does not exist.\nDo you want to create it?\r\n\n"
                              "\x1b[2J",
                      .caption = "Create Folder",
                      .buttons = MessageButtons::YesNo});
  EXPECT_EQ(out.str(),
            "[Create Folder] The folder '/opt/k' does not exist. Do you want to create it? ?[2J "
            "-> Yes\n");
}

}  // namespace
}  // namespace ks
