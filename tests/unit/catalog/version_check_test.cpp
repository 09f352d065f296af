#include "catalog/version_check.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"
#include "tests/support/version_block_builder.h"

namespace ks {
namespace {

class VersionCheckTest : public ::testing::Test {
 protected:
  VersionCheckTest() {
    context.platform = fakes.ports();
    context.state.installDir = "/opt/kestrova";
    context.state.systemDir = "/usr/lib";
    context.state.windowsDir = "/usr";
  }

  // Evaluates and returns the result; the success flag goes to ok.
  std::string evaluate(const std::string& expression) {
    std::string result = "stale";
    ok = evaluateVersionCheck(context, expression, result);
    return result;
  }
  void giveVersion(const std::string& path, const char* fileVersion) {
    fakes.versionResources.blocks[path] = test::makeVersionBlock(0x0409, 0x04B0, fileVersion);
  }

  test::FakePlatform fakes;
  SetupContext context;
  bool ok = false;
};

TEST_F(VersionCheckTest, EmptyExpressionFailsAndLeavesTheResult) {
  EXPECT_EQ(evaluate(""), "stale");
  EXPECT_FALSE(ok);
}

TEST_F(VersionCheckTest, ProbesRunLeftToRightUntilOneFindsAVersion) {
  fakes.fileSystem.folders.insert("/opt/kestrova");
  const std::string check =
      "FileVersion(\"%InstallDir%/kestrova.exe\") FileExist(\"%InstallDir%\")";
  EXPECT_EQ(evaluate(check), "1.0");
  EXPECT_TRUE(ok);

  giveVersion("/opt/kestrova/kestrova.exe", "2, 1, 0, 7");
  EXPECT_EQ(evaluate(check), "2. 1. 0. 7");
  EXPECT_TRUE(ok);
}

TEST_F(VersionCheckTest, AMalformedCallAfterAFoundVersionDoesNotMatter) {
  giveVersion("/k.exe", "3.0");
  EXPECT_EQ(evaluate("FileVersion(\"/k.exe\") FileExist(broken"), "3.0");
  EXPECT_TRUE(ok);
}

TEST_F(VersionCheckTest, ACommaEndsTheListWithSuccess) {
  fakes.fileSystem.folders.insert("/opt/kestrova");
  EXPECT_EQ(evaluate("FileVersion(\"/none.exe\"), FileExist(\"%InstallDir%\")"), "");
  EXPECT_TRUE(ok);
  giveVersion("/k.exe", "1.2");
  EXPECT_EQ(evaluate("FileVersion(\"/k.exe\"), FileExist(\"%InstallDir%\")"), "1.2");
}

TEST_F(VersionCheckTest, BlanksAndTabsAroundTheCallAreAccepted) {
  fakes.fileSystem.files[" /a b "] = "";
  EXPECT_EQ(evaluate(" \t FileExist \t( \t\" /a b \" \t) \t"), "1.0");
  EXPECT_TRUE(ok);
}

TEST_F(VersionCheckTest, UnknownNamesEndEvaluationWithSuccess) {
  fakes.fileSystem.folders.insert("/tmp");
  EXPECT_EQ(evaluate("fileexist(\"/tmp\")"), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(evaluate("Nonsense FileExist(\"/tmp\")"), "");
  EXPECT_TRUE(ok);
}

TEST_F(VersionCheckTest, MalformedCallsFail) {
  fakes.fileSystem.folders.insert("/tmp");
  for (const char* bad :
       {"FileExists(\"/tmp\")", "FileExist \"/tmp\")", "FileExist(/tmp\")", "FileExist(\"/tmp)",
        "FileExist(\"/tmp\"", "FileExist(\"/tmp\" x)", "FileExist", "FileExist(", "FileExist(\""}) {
    EXPECT_EQ(evaluate(bad), "") << bad;
    EXPECT_FALSE(ok) << bad;
  }
}

TEST_F(VersionCheckTest, PlaceholdersAreReplacedWithCaseOnly) {
  fakes.fileSystem.files["/usr/lib/x"] = "";
  fakes.fileSystem.files["/usr/y"] = "";
  EXPECT_EQ(evaluate("FileExist(\"%SystemDir%/x\")"), "1.0");
  EXPECT_EQ(evaluate("FileExist(\"%WindowsDir%/y\")"), "1.0");
  EXPECT_EQ(evaluate("FileExist(\"%installdir%\")"), "");
  EXPECT_TRUE(ok);
}

TEST_F(VersionCheckTest, NoInstallationFolderLeavesTheBarePath) {
  context.state.installDir.clear();
  std::string out;
  ASSERT_TRUE(expandPlaceholders(context.state, "%InstallDir%/kestrova.exe", out));
  EXPECT_EQ(out, "/kestrova.exe");
}

TEST_F(VersionCheckTest, LaterPassesReplaceWhatAFolderBroughtIn) {
  context.state.installDir = "/x/%SystemDir%";
  std::string out;
  ASSERT_TRUE(expandPlaceholders(context.state, "%InstallDir%|%WindowsDir%", out));
  EXPECT_EQ(out, "/x//usr/lib|/usr");
}

TEST_F(VersionCheckTest, OverlongArgumentsAreRefusedNotCut) {
  const std::string path259 = "/" + std::string(258, 'p');
  fakes.fileSystem.files[path259] = "";
  EXPECT_EQ(evaluate("FileExist(\"" + path259 + "\")"), "1.0");
  EXPECT_EQ(evaluate("FileExist(\"" + path259 + "q\")"), "");
  EXPECT_FALSE(ok);
  // Fits before expansion, too long after it.
  context.state.installDir = "/" + std::string(250, 'i');
  EXPECT_EQ(evaluate("FileExist(\"%InstallDir%/0123456789\")"), "");
  EXPECT_FALSE(ok);
}

TEST_F(VersionCheckTest, ExpansionThatOutgrowsItsBufferFails) {
  context.state.installDir = std::string(250, 'i');
  std::string text;
  for (int i = 0; i < 5; ++i) text += "%InstallDir%";
  std::string out;
  EXPECT_FALSE(expandPlaceholders(context.state, text, out));
}

TEST_F(VersionCheckTest, LongVersionsAreCutTo19Characters) {
  giveVersion("/k.exe", "1, 2, 3, 4, 5, 6, 7, 8, 9");
  EXPECT_EQ(evaluate("FileVersion(\"/k.exe\")"), "1. 2. 3. 4. 5. 6. 7");
}

TEST_F(VersionCheckTest, LibVersionAsksTheShellLibraryWhateverTheArgument) {
  test::FakeLibrary::Script script;
  script.hasDllGetVersion = true;
  script.version.majorVersion = 6;
  script.version.minorVersion = 0;
  script.version.buildNumber = 2900;
  fakes.libraries.libraries["shlwapi.dll"] = script;
  EXPECT_EQ(evaluate("LibVersion(\"comctl32.dll\")"), "6.0.2900");
  EXPECT_EQ(fakes.libraries.loaded, (std::vector<std::string>{"shlwapi.dll"}));
  EXPECT_EQ(fakes.libraries.unloads, 1);
}

TEST_F(VersionCheckTest, LibVersionWithoutTheExportIs400AndWithoutTheLibraryEmpty) {
  EXPECT_EQ(evaluate("LibVersion(\"\")"), "");  // Linux: no such library
  fakes.libraries.libraries["shlwapi.dll"] = test::FakeLibrary::Script{};
  EXPECT_EQ(evaluate("LibVersion(\"\")"), "4.0.0");
}

TEST_F(VersionCheckTest, LibVersionFailureCodeGivesNothing) {
  test::FakeLibrary::Script script;
  script.hasDllGetVersion = true;
  script.dllGetVersionResult = E_FAIL_RESULT;
  fakes.libraries.libraries["shlwapi.dll"] = script;
  EXPECT_EQ(evaluate("LibVersion(\"x\")"), "");
  int major = 0, build = 0;
  EXPECT_EQ(getDllVersion(context, "shlwapi.dll", &major, nullptr, &build), E_FAIL_RESULT);
}

TEST_F(VersionCheckTest, WinsockVersionReportsTheHighestSupportedVersion) {
  test::FakeLibrary::Script script;
  script.hasWsaStartup = true;
  script.hasWsaCleanup = true;
  script.wsaHighVersion = 0x0202;
  fakes.libraries.libraries["wsock32.dll"] = script;
  EXPECT_EQ(evaluate("WinsockVersion(\"wsock32.dll\")"), "2.2");
  script.wsaHighVersion = 0x0101;
  fakes.libraries.libraries["wsock32.dll"] = script;
  EXPECT_EQ(evaluate("WinsockVersion(\"wsock32.dll\")"), "1.1");
  EXPECT_EQ(fakes.libraries.cleanups, 2);
  EXPECT_EQ(fakes.libraries.unloads, 2);
}

TEST_F(VersionCheckTest, WinsockStartupFailureStillCleansUp) {
  test::FakeLibrary::Script script;
  script.hasWsaStartup = true;
  script.hasWsaCleanup = true;
  script.wsaStartupResult = 10092;  // version not supported
  fakes.libraries.libraries["ws2_32.dll"] = script;
  EXPECT_EQ(evaluate("WinsockVersion(\"ws2_32.dll\")"), "");
  EXPECT_EQ(fakes.libraries.cleanups, 1);
  fakes.libraries.libraries["ws2_32.dll"] = test::FakeLibrary::Script{};  // no exports at all
  EXPECT_EQ(evaluate("WinsockVersion(\"ws2_32.dll\")"), "");
  EXPECT_EQ(fakes.libraries.cleanups, 1);
}

TEST(FileVersionString, UsesTheFirstTranslationAndTurnsCommasIntoDots) {
  test::FakePlatform fakes;
  SetupContext context;
  context.platform = fakes.ports();
  std::string out = "untouched";
  EXPECT_FALSE(getFileVersionString(context, "/none", out));
  EXPECT_EQ(out, "untouched");

  fakes.versionResources.blocks["/a"] = test::makeVersionBlock(0x0407, 0x04E4, "5,0,1");
  EXPECT_TRUE(getFileVersionString(context, "/a", out));
  EXPECT_EQ(out, "5.0.1");

  fakes.versionResources.blocks["/b"] = test::makeVersionBlock(0x0409, 0x04B0, nullptr);
  EXPECT_TRUE(getFileVersionString(context, "/b", out));
  EXPECT_EQ(out, "");
}

TEST(VersionOrder, ComparesPartByPartNumbersByValue) {
  EXPECT_TRUE(versionIsBelow("1.0.9", "1.0.10"));
  EXPECT_TRUE(versionIsBelow("1.9", "1.10"));
  EXPECT_FALSE(versionIsBelow("1.10", "1.9"));
  EXPECT_TRUE(versionIsBelow("9", "10"));
  EXPECT_FALSE(versionIsBelow("10.0", "9.0"));
  // A FileVersion text with blanks is not below the version it equals.
  EXPECT_FALSE(versionIsBelow("1. 0. 0. 5", "1.0"));
  EXPECT_TRUE(versionIsBelow("1.0", "1. 0. 0. 5"));
  // Missing and empty parts are 0, leading zeros do not count.
  for (const auto& [a, b] :
       {std::pair{"1.0", "1.0.0"}, {"0", "00"}, {"1..2", "1.0.2"}, {"", ""}, {"2.010", "2.10"}}) {
    EXPECT_FALSE(versionIsBelow(a, b)) << a << " " << b;
    EXPECT_FALSE(versionIsBelow(b, a)) << b << " " << a;
  }
  EXPECT_TRUE(versionIsBelow("", "1.0"));
  EXPECT_TRUE(versionIsBelow("1.0", "1.0.5"));
  // Numbers longer than any integer still compare by value.
  EXPECT_TRUE(versionIsBelow("99999999999999999999", "100000000000000000000"));
  // Parts that are not numbers compare as text.
  EXPECT_TRUE(versionIsBelow("1.0beta", "1.0rc"));
  EXPECT_TRUE(versionIsBelow("1.10", "1.1a"));
}

TEST(TextHelpers, ReplaceAllDoesNotRescanInsertedText) {
  std::string out;
  ASSERT_TRUE(replaceAll("aXbXc", out, "X", "XX"));
  EXPECT_EQ(out, "aXXbXXc");
  ASSERT_TRUE(replaceAll("aaaa", out, "aa", "a"));
  EXPECT_EQ(out, "aa");
  ASSERT_TRUE(replaceAll("abc", out, "", "z"));
  EXPECT_EQ(out, "abc");
  std::string same = "x\\ny";
  ASSERT_TRUE(replaceAll(same, same, "\\n", "\n"));
  EXPECT_EQ(same, "x\ny");
}

TEST(TextHelpers, SkipBlanksStopsAtOtherCharactersAndTheEnd) {
  EXPECT_EQ(skipBlanks(" \t x", 0), 3u);
  EXPECT_EQ(skipBlanks("x  ", 1), 3u);
  EXPECT_EQ(skipBlanks("\nx", 0), 0u);
  EXPECT_EQ(skipBlanks("", 0), 0u);
}

}  // namespace
}  // namespace ks
