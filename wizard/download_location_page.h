#pragma once
// The page that picks the primary download site from the catalog's sites.

#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kDownloadLocationTemplate = 147;
inline constexpr int kIdcSiteList = 1105;

class DownloadLocationPage final : public HeaderPage {
 public:
  explicit DownloadLocationPage(SetupContext& context)
      : HeaderPage(context, kDownloadLocationTemplate) {}
  ActivateAnswer onActivate(Direction direction) override;
  NextAnswer onNext() override;
  // The header picture is a control of the template: nothing to paint.
  void onPaint() override {}

 protected:
  void onInit() override;
};

}  // namespace ks
