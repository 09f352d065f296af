// The registry adapter against wine's real registry: UTF-16 names and
// values, the NT family's key deletion, and what another reader of the
// registry (reg.exe, the uninstall list) sees.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_registry.h"

namespace ks {
namespace {

const std::string kTestKey = "Software\\Kestrova Tests";

class RegistryRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrova Tests"); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrova Tests"); }
  Win32Registry registry;
};

TEST_F(RegistryRoundTrip, WideNamesAndValuesComeBackWholeAsRegSz) {
  const std::string key = kTestKey + "\\Caf\xc3\xa9 \xe6\x97\xa5";
  const std::string folder = "C:\\Program Files\\K\xc3\xa9strova";
  ASSERT_FALSE(registry.openKey(RegistryRoot::CurrentUser, key));
  ASSERT_TRUE(registry.createKey(RegistryRoot::CurrentUser, key));
  ASSERT_TRUE(registry.writeValue(RegistryRoot::CurrentUser, key, "Install Directory", folder));
  std::string read;
  // Names are found without regard to case, as the registry itself does.
  ASSERT_TRUE(registry.readValue(RegistryRoot::CurrentUser, key, "install directory", read));
  EXPECT_EQ(read, folder);

  // Another program reads a REG_SZ with its terminating NUL.
  wchar_t data[64];
  DWORD type = 0;
  DWORD bytes = sizeof data;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Kestrova Tests\\Caf\u00e9 \u65e5",
                         L"Install Directory", RRF_RT_ANY, &type, data, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(data), L"C:\\Program Files\\K\u00e9strova");
  EXPECT_EQ(bytes, (std::wstring(data).size() + 1) * sizeof(wchar_t));

  EXPECT_TRUE(registry.deleteValue(RegistryRoot::CurrentUser, key, "Install Directory"));
  EXPECT_FALSE(registry.readValue(RegistryRoot::CurrentUser, key, "Install Directory", read));
}

TEST_F(RegistryRoundTrip, AValueGoesOnlyIntoAKeyThatExists) {
  EXPECT_FALSE(registry.writeValue(RegistryRoot::CurrentUser, kTestKey, "Install Directory", "x"));
  EXPECT_FALSE(registry.openKey(RegistryRoot::CurrentUser, kTestKey));
}

TEST_F(RegistryRoundTrip, AKeyWithSubkeysStaysAndItsSubkeysAreListed) {
  ASSERT_TRUE(registry.createKey(RegistryRoot::CurrentUser, kTestKey + "\\One"));
  ASSERT_TRUE(registry.createKey(RegistryRoot::CurrentUser, kTestKey + "\\Two\\Deeper"));
  std::uint32_t count = 0;
  ASSERT_TRUE(registry.subkeyCount(RegistryRoot::CurrentUser, kTestKey, count));
  EXPECT_EQ(count, 2u);
  std::string first;
  std::string second;
  std::string none;
  EXPECT_TRUE(registry.enumSubkey(RegistryRoot::CurrentUser, kTestKey, 0, first));
  EXPECT_TRUE(registry.enumSubkey(RegistryRoot::CurrentUser, kTestKey, 1, second));
  EXPECT_FALSE(registry.enumSubkey(RegistryRoot::CurrentUser, kTestKey, 2, none));
  EXPECT_EQ(first + "," + second, "One,Two");

  EXPECT_FALSE(registry.deleteKey(RegistryRoot::CurrentUser, kTestKey));  // NT family
  EXPECT_TRUE(registry.deleteKey(RegistryRoot::CurrentUser, kTestKey + "\\One"));
  EXPECT_FALSE(registry.deleteKey(RegistryRoot::CurrentUser, kTestKey + "\\Two"));
  EXPECT_TRUE(registry.openKey(RegistryRoot::CurrentUser, kTestKey + "\\Two\\Deeper"));
}

TEST(Registry, TheProgramFilesFolderIsTheSystemsOwn) {
  Win32Registry registry;
  std::string programFiles;
  ASSERT_TRUE(registry.readValue(RegistryRoot::LocalMachine,
                                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                                 programFiles));
  wchar_t expected[MAX_PATH];
  ASSERT_GT(ExpandEnvironmentStringsW(L"%ProgramFiles%", expected, MAX_PATH), 0u);
  EXPECT_EQ(programFiles, narrow(expected).value_or("?"));
}

}  // namespace
}  // namespace ks
