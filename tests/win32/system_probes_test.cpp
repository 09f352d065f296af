// The version checks of the core on the Windows adapters: version resources
// through VERSION.dll, DllGetVersion of shlwapi.dll, WSAStartup of a Winsock
// library; a program's first icon as an icon file; SHA-256 from BCrypt and
// from CryptoAPI.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "app/setup_context.h"
#include "catalog/version_check.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/sha256_known_answers.h"

namespace ks {
namespace {

std::string fixture(const std::string& name) {
  const char* source = std::getenv("KS_SOURCE_DIR");
  return std::string(source ? source : ".") + "/tests/fixtures/pe/" + name;
}

class Win32Probes : public ::testing::Test {
 protected:
  Win32Probes() { context.platform = win32.ports(); }
  std::string check(const std::string& expression) {
    std::string result = "unset";
    evaluateVersionCheck(context, expression, result);
    return result;
  }
  Win32Platform win32;
  SetupContext context;
};

TEST_F(Win32Probes, FileVersionComesFromTheFirstTranslationOfTheResource) {
  EXPECT_EQ(check("FileVersion(\"" + fixture("version64.exe") + "\")"), "1. 2. 3. 4");
  EXPECT_EQ(check("FileVersion(\"" + fixture("version32.exe") + "\")"), "1. 2. 3. 4");
  EXPECT_EQ(check("FileVersion(\"" + fixture("german32.exe") + "\")"), "5. 6. 7. 8");
  EXPECT_EQ(check("FileVersion(\"" + fixture("noversion64.exe") + "\") FileExist(\"" +
                  fixture("noversion64.exe") + "\")"),
            "1.0");
}

TEST_F(Win32Probes, LibrariesAnswerTheirVersions) {
  const std::string shlwapi = check("LibVersion(\"ignored\")");
  EXPECT_FALSE(shlwapi.empty());
  EXPECT_EQ(std::count(shlwapi.begin(), shlwapi.end(), '.'), 2) << shlwapi;
  EXPECT_EQ(check("WinsockVersion(\"ws2_32.dll\")"), "2.2");
  EXPECT_EQ(check("WinsockVersion(\"no-such-library.dll\")"), "");
}

TEST(Win32Icons, TheFirstIconOfALibraryIsAnIconFileOfOneImage) {
  Win32VersionResources resources;
  Win32SystemInfo info;
  std::vector<std::uint8_t> icon;
  ASSERT_TRUE(resources.readFirstIcon(info.systemDirectory() + "\\shell32.dll", icon));
  ASSERT_GT(icon.size(), 22u);
  EXPECT_EQ(icon[2], 1);  // an icon file
  EXPECT_EQ(icon[4], 1);  // with one image
  const std::uint32_t size = icon[14] | (icon[15] << 8) | (icon[16] << 16) | (icon[17] << 24);
  const std::uint32_t offset = icon[18] | (icon[19] << 8) | (icon[20] << 16) | (icon[21] << 24);
  EXPECT_EQ(offset, 22u);
  EXPECT_EQ(offset + size, icon.size());
  // The image is a bitmap (a BITMAPINFOHEADER of 40 bytes) or a PNG.
  EXPECT_TRUE(icon[22] == 40 || icon[23] == 'P') << int(icon[22]);
  EXPECT_FALSE(resources.readFirstIcon(fixture("version64.exe"), icon));  // has no icon
  EXPECT_FALSE(resources.readFirstIcon(fixture("missing.exe"), icon));
}

TEST(Win32Hashing, BothProvidersGiveThePublishedDigests) {
  Win32Hashing best;
  EXPECT_TRUE(best.usesBCrypt());
  test::expectSha256KnownAnswers(best);
  Win32Hashing older(Win32Hashing::Provider::CryptoApi);
  EXPECT_FALSE(older.usesBCrypt());
  test::expectSha256KnownAnswers(older);
}

}  // namespace
}  // namespace ks
