// The Download Location page: the site list and primarySite.

#include "wizard/download_location_page.h"

#include "tests/support/native_path.h"
#include "tests/unit/wizard/wizard_fixture.h"
#include "wizard/setup_options_page.h"

namespace ks::test {
namespace {

class DownloadLocationTest : public WizardTest {
 protected:
  void sites(int count) {
    context.catalog.siteCount = count;
    for (int i = 0; i < count; ++i) context.catalog.sites[i].name = "Site " + std::to_string(i);
  }
  void toSites() {
    fakes.fileSystem.folders = {test::nativePath("/home/user/dl"),
                                test::nativePath("/opt/Kestrova")};
    context.state.installDir = test::nativePath("/opt/Kestrova");
    startWizard();
    click(kIdcOptionInternet);
    next();
    next();
    next();
    ASSERT_EQ(shown(), 147);
  }
};

TEST_F(DownloadLocationTest, FiveSitesInFileOrderWithTheFirstSelected) {
  sites(5);
  toSites();
  const auto& list = page(147).at(kIdcSiteList);
  ASSERT_EQ(list.items.size(), 5u);
  EXPECT_EQ(list.items[4].first, "Site 4");
  EXPECT_EQ(list.items[4].second, 4);
  EXPECT_EQ(list.selected, 0);
  next();
  EXPECT_EQ(context.state.primarySite, 0);
}

TEST_F(DownloadLocationTest, TheChosenSiteIsStoredAndStaysSelected) {
  sites(5);
  toSites();
  ASSERT_TRUE(page(147).userSelect(kIdcSiteList, 2));
  next();
  EXPECT_EQ(context.state.primarySite, 2);
  back();
  EXPECT_EQ(page(147).at(kIdcSiteList).selected, 2);
}

TEST_F(DownloadLocationTest, NoSitesLeavesPrimarySiteAlone) {
  toSites();
  EXPECT_TRUE(page(147).at(kIdcSiteList).items.empty());
  next();
  EXPECT_EQ(shown(), 105);
  EXPECT_EQ(context.state.primarySite, 0);
}

TEST_F(DownloadLocationTest, TheListIsFilledOnlyOnTheFirstVisit) {
  sites(2);
  toSites();
  sites(4);
  back();
  next();
  EXPECT_EQ(page(147).at(kIdcSiteList).items.size(), 2u);
}

TEST_F(DownloadLocationTest, LocalModeNeverShowsThePage) {
  sites(3);
  context.state.primarySite = 2;
  fakes.fileSystem.folders = {test::nativePath("/pkgs"), test::nativePath("/opt/Kestrova")};
  context.state.installDir = test::nativePath("/opt/Kestrova");
  startWizard();
  click(kIdcOptionLocal);
  next();
  type(1003, test::nativePath("/pkgs"));
  next();
  next();
  next();
  EXPECT_EQ(shown(), 105);
  EXPECT_EQ(std::count(view.shownHistory.begin(), view.shownHistory.end(), 147), 0);
  EXPECT_EQ(context.state.primarySite, 2);
}

}  // namespace
}  // namespace ks::test
