#pragma once
// A wizard on the headless frontend: the real first pages, stand-ins for the
// pages that come with later work, scripted dialogs and fake ports.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "tests/support/fake_platform.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/headless_wizard_view.h"
#include "ui/headless/scripted_dialogs.h"
#include "wizard/wizard_frame.h"

namespace ks::test {

// A page that counts its events and skips itself while skip() says so.
class StandInPage final : public HeaderPage {
 public:
  StandInPage(SetupContext& context, int templateId, std::function<bool()> skip, unsigned buttons)
      : HeaderPage(context, templateId), skip_(std::move(skip)), buttons_(buttons) {}
  ActivateAnswer onActivate(Direction) override;
  bool onQueryCancel() override { return cancelWithoutQuestion || HeaderPage::onQueryCancel(); }

  int inits = 0;
  int activations = 0;
  bool cancelWithoutQuestion = false;

 protected:
  void onInit() override { ++inits; }

 private:
  std::function<bool()> skip_;
  unsigned buttons_;
};

class WizardTest : public ::testing::Test {
 protected:
  WizardTest();
  ~WizardTest() override;

  void startWizard();
  // The user's actions, with the posted button requests handled afterwards.
  void next();
  void back();
  void cancel();
  void click(int controlId);
  void type(int controlId, const std::string& text);
  void drain();

  HeadlessPageView& page(int templateId);
  int shown() const { return view.shownPage; }
  StandInPage& standIn(int templateId) { return *standIns.at(templateId); }
  // Every scripted box was shown and nothing else.
  void expectDialogsDone();

  FakePlatform fakes;
  ScriptedDialogs dialogs;
  SetupContext context;
  HeadlessDispatcher ui;
  HeadlessWizardView view;
  std::map<int, StandInPage*> standIns;
  std::unique_ptr<WizardFrame> frame;
};

}  // namespace ks::test
