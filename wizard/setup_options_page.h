#pragma once
// The first page: what the setup is to do. Stores mode and
// deleteAfterInstall, shows the previous installation folder and the setup's
// own version, and uninstalls directly from the page.

#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kSetupOptionsTemplate = 102;
inline constexpr int kIdcOptionInternet = 1034;
inline constexpr int kIdcOptionLocal = 1040;
inline constexpr int kIdcOptionDownloadOnly = 1035;
inline constexpr int kIdcOptionUninstall = 1036;
inline constexpr int kIdcDeleteAfterInstall = 1095;
inline constexpr int kIdcPreviousFolder = 1078;
inline constexpr int kIdcBrowsePrevious = 1110;
inline constexpr int kIdcVersionLine = 1107;
inline constexpr int kIdcInformationLine = 1109;

inline constexpr const char* kNotFoundText = "Not Found";

class SetupOptionsPage final : public WizardPage {
 public:
  explicit SetupOptionsPage(SetupContext& context) : WizardPage(context, kSetupOptionsTemplate) {}

  ActivateAnswer onActivate(Direction direction) override;
  NextAnswer onNext() override;
  void onCommand(int controlId) override;

 protected:
  void onInit() override;
  PageView::Font titleFont() const override;

 private:
  bool anyOptionSelected();
  void showPreviousFolder();
  void uninstallFromPage();
};

}  // namespace ks
