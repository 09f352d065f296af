#include "wizard/setup_wizard.h"

#include "wizard/download_location_page.h"
#include "wizard/folder_pages.h"
#include "wizard/setup_options_page.h"

namespace ks {

std::vector<std::unique_ptr<WizardPage>> makeWizardPages(SetupContext& context) {
  std::vector<std::unique_ptr<WizardPage>> pages;
  pages.push_back(std::make_unique<SetupOptionsPage>(context));
  pages.push_back(std::make_unique<LocalArchivePage>(context));
  pages.push_back(std::make_unique<DestinationFoldersPage>(context));
  pages.push_back(std::make_unique<DownloadLocationPage>(context));
  return pages;
}

}  // namespace ks
