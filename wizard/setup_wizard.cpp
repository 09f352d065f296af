#include "wizard/setup_wizard.h"

#include "catalog/component_options_page.h"
#include "install/completion_page.h"
#include "install/download_install_page.h"
#include "install/integration_page.h"
#include "wizard/download_location_page.h"
#include "wizard/folder_pages.h"
#include "wizard/setup_options_page.h"

namespace ks {

std::vector<std::unique_ptr<WizardPage>> makeWizardPages(SetupContext& context) {
  std::vector<std::unique_ptr<WizardPage>> pages;
  pages.push_back(std::make_unique<SetupOptionsPage>(context));
  pages.push_back(std::make_unique<LocalArchivePage>(context));
  pages.push_back(std::make_unique<ComponentOptionsPage>(context));
  pages.push_back(std::make_unique<DestinationFoldersPage>(context));
  pages.push_back(std::make_unique<DownloadLocationPage>(context));
  pages.push_back(std::make_unique<DownloadInstallPage>(context));
  pages.push_back(std::make_unique<IntegrationPage>(context));
  pages.push_back(std::make_unique<CompletionPage>(context));
  return pages;
}

}  // namespace ks
