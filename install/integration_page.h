#pragma once
// The Integration page: which shortcuts to make; Next registers the
// installation and makes them.

#include <string>

#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kIntegrationTemplate = 106;
inline constexpr int kIdcAddToDesktop = 1073;
inline constexpr int kIdcAddToUserPrograms = 1074;
inline constexpr int kIdcAddToCommonPrograms = 1075;
inline constexpr int kIdcCommonProgramsNote = 1104;
inline constexpr int kIdcApplicationIcon = 1157;

class IntegrationPage final : public HeaderPage {
 public:
  explicit IntegrationPage(SetupContext& context) : HeaderPage(context, kIntegrationTemplate) {}
  ActivateAnswer onActivate(Direction direction) override;
  NextAnswer onNext() override;

 protected:
  void onInit() override;

 private:
  // Why "Add to common program groups" is not offered.
  std::string commonProgramsRefusal();
};

}  // namespace ks
