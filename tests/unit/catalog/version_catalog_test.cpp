#include "catalog/version_catalog.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace ks {
namespace {

constexpr const char* kPath = "/srv/version2.ini";

class VersionCatalogTest : public ::testing::Test {
 protected:
  VersionCatalogTest() { context.platform = fakes.ports(); }

  bool load(const std::string& text) {
    fakes.fileSystem.files[kPath] = text;
    return loadVersionCatalog(context, kPath);
  }
  const Component& component(int index) { return *context.catalog.components[index]; }

  test::FakePlatform fakes;
  SetupContext context;
};

TEST_F(VersionCatalogTest, WorkedExampleWithTwoSitesAndOneGroup) {
  context.state.installDir = "/home/u/.local/opt/Kestrova";
  ASSERT_TRUE(
      load("[Sites]\nSite01=Main server (Europe)\nSite02=Mirror (USA)\n"
           "[Core.App]\nTitle=Kestrova client\nVersion=1.0.5\nRequired=1.0.5\n"
           "VersionCheck=FileVersion(\"%InstallDir%/kestrova.exe\")\nSize=812\nInstall=2\n"
           "URL01=http://eu.example/kestrova/app.cab\nURL02=ftp://us.example/pub/app.cab\n"
           "[Core.Help]\nTitle=Help files\nDescription=Online help.\\nOptional.\nSize=240\n"
           "Install=2\nURL01=http://eu.example/kestrova/help.cab\n"));
  const VersionCatalog& catalog = context.catalog;
  EXPECT_EQ(catalog.siteCount, 2);
  EXPECT_EQ(catalog.sites[0].name, "Main server (Europe)");
  EXPECT_EQ(catalog.sites[1].name, "Mirror (USA)");
  ASSERT_EQ(catalog.groupCount, 1);
  EXPECT_EQ(catalog.groups[0].name, "Core");
  ASSERT_EQ(catalog.componentCount, 2);

  const Component& app = component(0);
  EXPECT_EQ(app.title, "Kestrova client");
  EXPECT_EQ(app.urlCount, 2);
  EXPECT_EQ(packageFileName(app), "app.cab");
  EXPECT_EQ(app.installedVersion, "");
  EXPECT_EQ(app.requiredVersion, "1.0.5");
  EXPECT_EQ(app.availableVersion, "1.0.5");
  EXPECT_EQ(app.sizeKb, 812);
  EXPECT_EQ(app.installMethod, 2);
  EXPECT_EQ(app.groupIndex, 0);
  EXPECT_EQ(app.selected, 0);  // ticking is the page's decision

  const Component& help = component(1);
  EXPECT_EQ(help.urlCount, 1);
  EXPECT_EQ(help.requiredVersion, "");
  EXPECT_EQ(help.description, "Online help.\nOptional.");
  EXPECT_EQ(help.sizeKb, 240);
}

TEST_F(VersionCatalogTest, SitesStopAtTheFirstEmptyKeyAndAtTen) {
  ASSERT_TRUE(load("[Sites]\nSite01=\nSite02=B\n[A.x]\nURL01=http://h/a\n"));
  EXPECT_EQ(context.catalog.siteCount, 0);
  EXPECT_EQ(component(0).urlCount, 0);

  std::string eleven = "[Sites]\n";
  for (int n = 1; n <= 11; ++n)
    eleven += "Site" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "=s" +
              std::to_string(n) + "\n";
  ASSERT_TRUE(load(eleven));
  EXPECT_EQ(context.catalog.siteCount, 10);
  EXPECT_EQ(context.catalog.sites[9].name, "s10");
}

TEST_F(VersionCatalogTest, NoSitesMeansNoUrls) {
  ASSERT_TRUE(load("[Core.App]\nURL01=http://h/app.cab\n"));
  EXPECT_EQ(context.catalog.siteCount, 0);
  EXPECT_EQ(component(0).urlCount, 0);
  EXPECT_EQ(packageFileName(component(0)), "");
}

TEST_F(VersionCatalogTest, UrlsStopAtAGapAndAtTheSiteCount) {
  ASSERT_TRUE(
      load("[Sites]\nSite01=a\nSite02=b\n"
           "[G.gap]\nURL01=http://h/1\nURL03=http://h/3\n"
           "[G.extra]\nURL01=http://h/1\nURL02=http://h/2\nURL03=http://h/3\n"
           "[G.noslash]\nURL01=plainname\n"));
  EXPECT_EQ(component(0).urlCount, 1);
  EXPECT_EQ(component(1).urlCount, 2);
  EXPECT_EQ(component(1).urls[2], "");
  EXPECT_EQ(packageFileName(component(2)), "");
}

TEST_F(VersionCatalogTest, OnlySectionsWithADotAreComponents) {
  ASSERT_TRUE(load("[Setup]\nTitle=x\n[General]\n[Core]\nTitle=y\n[Sites.x]\nTitle=z\n"));
  ASSERT_EQ(context.catalog.componentCount, 1);  // "Sites.x" is a component of group Sites
  EXPECT_EQ(context.catalog.groups[0].name, "Sites");
}

TEST_F(VersionCatalogTest, GroupsAreComparedWithCaseAndKeepFirstAppearanceOrder) {
  ASSERT_TRUE(load("[Core.App]\n[Extras.Themes]\n[core.Help]\n[Core.Help]\n"));
  ASSERT_EQ(context.catalog.groupCount, 3);
  EXPECT_EQ(context.catalog.groups[0].name, "Core");
  EXPECT_EQ(context.catalog.groups[1].name, "Extras");
  EXPECT_EQ(context.catalog.groups[2].name, "core");
  EXPECT_EQ(component(0).groupIndex, 0);
  EXPECT_EQ(component(1).groupIndex, 1);
  EXPECT_EQ(component(2).groupIndex, 2);
  EXPECT_EQ(component(3).groupIndex, 0);
}

TEST_F(VersionCatalogTest, AnEleventhGroupIsCorruptAndKeepsWhatWasRead) {
  std::string text = "[Sites]\nSite01=s\n";
  for (int g = 0; g < 11; ++g) text += "[G" + std::to_string(g) + ".c]\n";
  EXPECT_FALSE(load(text));
  EXPECT_EQ(context.catalog.siteCount, 1);
  EXPECT_EQ(context.catalog.groupCount, 10);
  EXPECT_EQ(context.catalog.componentCount, 10);
  for (int i = 0; i < 10; ++i) EXPECT_NE(context.catalog.components[i], nullptr);
}

TEST_F(VersionCatalogTest, SectionsPastTwentyAreLeftOut) {
  std::string text;
  for (int c = 0; c < 25; ++c)
    text += "[G.c" + std::to_string(c) + "]\nTitle=t" + std::to_string(c) + "\n";
  EXPECT_TRUE(load(text));
  EXPECT_EQ(context.catalog.componentCount, 20);
  EXPECT_EQ(component(19).title, "t19");
}

TEST_F(VersionCatalogTest, OverlongSectionNamesAreLeftOut) {
  const std::string name63 = "G." + std::string(61, 'a');
  const std::string name64 = "G." + std::string(62, 'b');
  EXPECT_TRUE(load("[" + name64 + "]\nTitle=long\n[" + name63 + "]\nTitle=fits\n"));
  ASSERT_EQ(context.catalog.componentCount, 1);
  EXPECT_EQ(component(0).title, "fits");
}

TEST_F(VersionCatalogTest, SectionsBeyondTheNameListAreNotSeen) {
  // Names of 60 characters take 61 bytes of the list each; with the zero
  // that ends the list, 16 of them fit into 1024 bytes.
  std::string text;
  for (int c = 0; c < 17; ++c) {
    std::string name = "G." + std::to_string(c);
    name += std::string(60 - name.size(), 'x');
    text += "[" + name + "]\n";
  }
  text += "[Late.one]\n";
  EXPECT_TRUE(load(text));
  EXPECT_EQ(context.catalog.componentCount, 16);
  EXPECT_EQ(context.catalog.groupCount, 1);
}

TEST_F(VersionCatalogTest, DescriptionLineBreaks) {
  ASSERT_TRUE(
      load("[G.a]\nDescription=First line\\nSecond line\n"
           "[G.b]\nDescription=a\\n\\nb\\t\\\\x\n"));
  EXPECT_EQ(component(0).description, "First line\nSecond line");
  EXPECT_EQ(component(1).description, "a\n\nb\\t\\\\x");
}

TEST_F(VersionCatalogTest, FieldsAreCutToTheirBuffers) {
  ASSERT_TRUE(load("[G.a]\nRequired=" + std::string(30, '9') + "\nTitle=" + std::string(300, 't') +
                   "\nDescription=" + std::string(600, 'd') + "\n"));
  EXPECT_EQ(component(0).requiredVersion.size(), 19u);
  EXPECT_EQ(component(0).title.size(), 254u);
  EXPECT_EQ(component(0).description.size(), 511u);
}

TEST_F(VersionCatalogTest, UnreadableSizeReadsAsZero) {
  ASSERT_TRUE(load("[G.a]\nSize=abc\n[G.b]\n"));
  EXPECT_EQ(component(0).sizeKb, 0);
  EXPECT_EQ(component(1).sizeKb, 0);
}

// A digest in either case is taken; anything that is not exactly 64
// hexadecimal digits makes the component unavailable, never unchecked.
TEST_F(VersionCatalogTest, Sha256ValuesAreDigestsOrMakeTheComponentUnavailable) {
  const std::string digits = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  std::string lower = digits;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  ASSERT_TRUE(load("[G.upper]\nSHA256=" + digits + "\n[G.lower]\nsha256=\"" + lower +
                   "\"\n[G.none]\nTitle=x\n[G.empty]\nSHA256=\n[G.long]\nSHA256=" + digits +
                   "0\n[G.short]\nSHA256=" + digits.substr(1) +
                   "\n[G.sign]\nSHA256=" + digits.substr(1) + "g\n"));
  ASSERT_EQ(context.catalog.componentCount, 7);
  for (int i : {0, 1}) {
    ASSERT_TRUE(component(i).sha256.has_value()) << i;
    EXPECT_EQ((*component(i).sha256)[0], 0xba);
    EXPECT_EQ((*component(i).sha256)[31], 0xad);
    EXPECT_EQ(component(i).unavailableReason, "");
  }
  for (int i : {2, 3}) {
    EXPECT_FALSE(component(i).sha256.has_value()) << i;
    EXPECT_EQ(component(i).unavailableReason, "") << i;
  }
  for (int i : {4, 5, 6}) {
    EXPECT_FALSE(component(i).sha256.has_value()) << i;
    EXPECT_NE(component(i).unavailableReason.find("SHA256"), std::string::npos) << i;
  }
}

TEST(VersionServers, HttpsServersAreReachedOverHttpsAndPlainHostsOverHttp) {
  const VersionServers servers = versionServersFrom("https://vi.example:8443,mirror.example:81");
  EXPECT_EQ(versionInfoUrl(servers.primary), "https://vi.example:8443/kestrova/version2.ini");
  EXPECT_EQ(versionInfoUrl(servers.fallback), "http://mirror.example:81/kestrova/version2.ini");
  for (const char* bad : {"https://a b,c", "ftp://a,b", "https://,b", "a b", "ftp://a"}) {
    EXPECT_EQ(versionServersFrom(bad).primary, builtInVersionServers().primary) << bad;
  }
  // One server serves as both.
  const VersionServers one = versionServersFrom("https://vi.example:8443");
  EXPECT_EQ(one.primary, "https://vi.example:8443");
  EXPECT_EQ(one.fallback, "https://vi.example:8443");
}

TEST_F(VersionCatalogTest, UnusableFiles) {
  EXPECT_FALSE(loadVersionCatalog(context, "/nowhere/version2.ini"));
  EXPECT_FALSE(load(""));
  EXPECT_FALSE(load("Site01=x\n"));
  fakes.fileSystem.files[kPath] = std::string(kMaxVersionFileBytes + 1, '\n');
  EXPECT_FALSE(loadVersionCatalog(context, kPath));
}

TEST_F(VersionCatalogTest, OnlySitesIsAnEmptyButValidCatalog) {
  EXPECT_TRUE(load("[Sites]\nSite01=a\n"));
  EXPECT_EQ(context.catalog.siteCount, 1);
  EXPECT_EQ(context.catalog.groupCount, 0);
  EXPECT_EQ(context.catalog.componentCount, 0);
}

TEST_F(VersionCatalogTest, ALoadReplacesThePreviousCatalog) {
  ASSERT_TRUE(load("[Sites]\nSite01=a\nSite02=b\n[A.x]\n[B.y]\n"));
  ASSERT_TRUE(load("[Sites]\nSite01=c\n[C.z]\n"));
  EXPECT_EQ(context.catalog.siteCount, 1);
  EXPECT_EQ(context.catalog.sites[1].name, "");
  EXPECT_EQ(context.catalog.groupCount, 1);
  EXPECT_EQ(context.catalog.groups[1].name, "");
  EXPECT_EQ(context.catalog.componentCount, 1);
  EXPECT_EQ(context.catalog.components[1], nullptr);
  EXPECT_TRUE(freeVersionCatalog(context.catalog));
  EXPECT_EQ(context.catalog.componentCount, 0);
  EXPECT_EQ(context.catalog.components[0], nullptr);
}

TEST_F(VersionCatalogTest, VersionChecksRunWithTheFoldersOfTheMoment) {
  context.state.installDir = "/opt/k";
  fakes.fileSystem.folders.insert("/opt/k");
  ASSERT_TRUE(
      load("[G.a]\nVersionCheck=FileExist(\"%InstallDir%\")\n"
           "[G.b]\nVersionCheck=FileExist(\"%InstallDir%\"\n"));
  EXPECT_EQ(component(0).installedVersion, "1.0");
  EXPECT_EQ(component(1).installedVersion, "");
}

}  // namespace
}  // namespace ks
