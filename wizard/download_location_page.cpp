#include "wizard/download_location_page.h"

#include "platform/wizard_view.h"

namespace ks {

// The list is filled once, when the page is created, in site order; item i
// carries i as its data.
void DownloadLocationPage::onInit() {
  HeaderPage::onInit();
  const VersionCatalog& catalog = context().catalog;
  for (int i = 0; i < catalog.siteCount; ++i) {
    view().addComboItem(kIdcSiteList, catalog.sites[static_cast<std::size_t>(i)].name, i);
  }
  view().selectComboItem(kIdcSiteList, state().primarySite);
}

ActivateAnswer DownloadLocationPage::onActivate(Direction) {
  if (state().mode == SETUP_MODE_LOCAL) return ActivateAnswer::Skip;
  wizard().postButtons(WizardButton::kBack | WizardButton::kNext);
  return ActivateAnswer::Show;
}

NextAnswer DownloadLocationPage::onNext() {
  const int selected = view().selectedComboItem(kIdcSiteList);
  if (selected >= 0) {
    state().primarySite = static_cast<int>(view().comboItemData(kIdcSiteList, selected));
  }
  return NextAnswer::Proceed;
}

}  // namespace ks
