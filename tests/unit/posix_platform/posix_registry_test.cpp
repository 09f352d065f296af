#include "platform/posix/posix_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/registry_values_file.h"
#include "tests/unit/posix_platform/temp_home.h"

namespace ks {
namespace {

using test::TempHome;

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;
const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class PosixRegistryTest : public ::testing::Test {
 protected:
  std::vector<std::string> subkeys(RegistryRoot root, const std::string& path) {
    std::vector<std::string> names;
    std::uint32_t count = 0;
    EXPECT_TRUE(registry.subkeyCount(root, path, count));
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      EXPECT_TRUE(registry.enumSubkey(root, path, i, name));
      names.push_back(name);
    }
    return names;
  }
  std::string read(RegistryRoot root, const std::string& path, const std::string& name) {
    std::string value = "<missing>";
    registry.readValue(root, path, name, value);
    return value;
  }

  TempHome home;
  PosixRegistry registry;
};

TEST_F(PosixRegistryTest, CreateMakesEveryMissingKeyOnThePath) {
  EXPECT_FALSE(registry.openKey(kUser, "Software\\Kestrova"));
  ASSERT_TRUE(registry.createKey(kUser, "Software\\Kestrova\\Sub"));
  EXPECT_TRUE(registry.openKey(kUser, "Software"));
  EXPECT_TRUE(registry.openKey(kUser, "Software\\Kestrova"));
  EXPECT_TRUE(registry.openKey(kUser, "Software\\Kestrova\\Sub"));
  EXPECT_TRUE(registry.createKey(kUser, "Software\\Kestrova"));  // already there: fine
  EXPECT_EQ(subkeys(kUser, "Software"), std::vector<std::string>{"Kestrova"});
}

TEST_F(PosixRegistryTest, PathsWithEmptyPartsAreRefused) {
  EXPECT_FALSE(registry.createKey(kUser, "\\Software"));
  EXPECT_FALSE(registry.createKey(kUser, "Software\\\\Kestrova"));
  EXPECT_FALSE(registry.createKey(kUser, "Software\\"));
  EXPECT_FALSE(registry.openKey(kUser, "Software"));
}

TEST_F(PosixRegistryTest, ValuesAreWrittenReadReplacedAndDeleted) {
  EXPECT_FALSE(registry.writeValue(kUser, "Software\\Kestrova", "Install Directory", "/x"));
  ASSERT_TRUE(registry.createKey(kUser, "Software\\Kestrova"));
  std::string value;
  EXPECT_FALSE(registry.readValue(kUser, "Software\\Kestrova", "Install Directory", value));
  ASSERT_TRUE(registry.writeValue(kUser, "Software\\Kestrova", "Install Directory", "/opt/a"));
  ASSERT_TRUE(registry.writeValue(kUser, "Software\\Kestrova", "Other", "1"));
  ASSERT_TRUE(registry.writeValue(kUser, "Software\\Kestrova", "Install Directory", "/opt/b"));
  EXPECT_EQ(read(kUser, "Software\\Kestrova", "Install Directory"), "/opt/b");
  EXPECT_EQ(read(kUser, "Software\\Kestrova", "Other"), "1");
  EXPECT_TRUE(registry.deleteValue(kUser, "Software\\Kestrova", "Install Directory"));
  EXPECT_FALSE(registry.deleteValue(kUser, "Software\\Kestrova", "Install Directory"));
  EXPECT_EQ(read(kUser, "Software\\Kestrova", "Install Directory"), "<missing>");
  EXPECT_EQ(read(kUser, "Software\\Kestrova", "Other"), "1");
}

TEST_F(PosixRegistryTest, NamesAreFoundWithoutRegardToCaseAndKeptAsCreated) {
  ASSERT_TRUE(registry.createKey(kUser, "Software\\Kestrova"));
  EXPECT_TRUE(registry.openKey(kUser, "SOFTWARE\\kestrova"));
  ASSERT_TRUE(registry.createKey(kUser, "software\\KESTROVA\\Sub"));
  EXPECT_EQ(subkeys(kUser, ""), std::vector<std::string>{"Software"});
  EXPECT_EQ(subkeys(kUser, "Software"), std::vector<std::string>{"Kestrova"});

  ASSERT_TRUE(registry.writeValue(kUser, "Software\\Kestrova", "Install Directory", "/a"));
  ASSERT_TRUE(registry.writeValue(kUser, "software\\kestrova", "INSTALL directory", "/b"));
  EXPECT_EQ(read(kUser, "SOFTWARE\\KESTROVA", "install DIRECTORY"), "/b");
  const std::string file = home.configHome() + "/kestrova-setup/registry/Software/Kestrova/.values";
  std::vector<registry::RegistryValue> stored;
  ASSERT_TRUE(registry::parseValues(test::readWholeFile(file), stored));
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].name, "Install Directory");
  EXPECT_EQ(stored[0].data, "/b");
}

TEST_F(PosixRegistryTest, OddKeyNamesRoundTrip) {
  const std::vector<std::string> names = {std::string("nul\0byte", 8),
                                          "%41",
                                          ".",
                                          "..",
                                          ".hidden",
                                          "a/b",
                                          "tab\there",
                                          "line\nbreak",
                                          "\x7f\x80\xff",
                                          " spaced ",
                                          "50%",
                                          "dots..."};
  for (const std::string& name : names) {
    ASSERT_TRUE(registry.createKey(kUser, "Odd\\" + name)) << name;
  }
  auto listed = subkeys(kUser, "Odd");
  auto expected = names;
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  for (const std::string& name : names) {
    EXPECT_TRUE(registry.openKey(kUser, "Odd\\" + name)) << name;
    ASSERT_TRUE(registry.writeValue(kUser, "Odd\\" + name, name, "v:" + name));
    EXPECT_EQ(read(kUser, "Odd\\" + name, name), "v:" + name);
  }
  // Nothing escaped the tree folder, and "A" is not mistaken for "%41".
  EXPECT_FALSE(registry.openKey(kUser, "Odd\\A"));
  EXPECT_FALSE(std::filesystem::exists(home.configHome() + "/kestrova-setup/registry/Odd/a"));
}

TEST_F(PosixRegistryTest, ANameTooLongForAFolderIsRefusedCleanly) {
  const std::string longest(255, 'k');
  ASSERT_TRUE(registry.createKey(kUser, "Long\\" + longest));
  EXPECT_TRUE(registry.openKey(kUser, "LONG\\" + std::string(255, 'K')));
  // Each '/' takes three bytes in the folder name: 86 of them are 258 bytes.
  EXPECT_FALSE(registry.createKey(kUser, "Long\\" + std::string(86, '/')));
  EXPECT_TRUE(registry.createKey(kUser, "Long\\" + std::string(85, '/')));
  EXPECT_EQ(subkeys(kUser, "Long"), (std::vector<std::string>{std::string(85, '/'), longest}));
}

TEST_F(PosixRegistryTest, OddValuesRoundTrip) {
  ASSERT_TRUE(registry.createKey(kUser, "K"));
  const std::vector<std::pair<std::string, std::string>> values = {
      {"", "default value"},
      {"multi", "line one\nline two\n"},
      {std::string("n\0l", 3), std::string("\0\0x\0", 4)},
      {"looks like a header", "KSREG1\n3 4\nabcdefg\n"},
      {"empty", ""},
      {"big", std::string(100000, 'z')}};
  for (const auto& [name, data] : values) ASSERT_TRUE(registry.writeValue(kUser, "K", name, data));
  PosixRegistry reopened;
  for (const auto& [name, data] : values) {
    std::string got;
    ASSERT_TRUE(reopened.readValue(kUser, "K", name, got)) << name;
    EXPECT_EQ(got, data) << name;
  }
}

TEST_F(PosixRegistryTest, AKeyWithSubkeysIsNotDeleted) {
  ASSERT_TRUE(registry.createKey(kUser, "Software\\Kestrova\\Child\\Grandchild"));
  ASSERT_TRUE(registry.writeValue(kUser, "Software\\Kestrova", "Install Directory", "/a"));
  EXPECT_FALSE(registry.deleteKey(kUser, "Software\\Kestrova"));
  EXPECT_FALSE(registry.deleteKey(kUser, "Software\\Kestrova\\Child"));
  EXPECT_EQ(read(kUser, "Software\\Kestrova", "Install Directory"), "/a");
  EXPECT_TRUE(registry.deleteKey(kUser, "SOFTWARE\\KESTROVA\\CHILD\\GRANDCHILD"));
  EXPECT_TRUE(registry.deleteKey(kUser, "Software\\Kestrova\\Child"));
  EXPECT_TRUE(registry.deleteKey(kUser, "Software\\Kestrova"));
  EXPECT_FALSE(registry.openKey(kUser, "Software\\Kestrova"));
  EXPECT_FALSE(registry.deleteKey(kUser, "Software\\Kestrova"));
  EXPECT_FALSE(registry.deleteKey(kUser, ""));
  EXPECT_TRUE(subkeys(kUser, "Software").empty());
}

TEST_F(PosixRegistryTest, SubkeysCanBeDeletedWhileEnumerating) {
  for (const char* name : {"d", "B", "a", "C", "e"}) {
    ASSERT_TRUE(registry.createKey(kUser, std::string("P\\") + name));
  }
  ASSERT_TRUE(registry.createKey(kUser, "P\\C\\deeper"));
  EXPECT_EQ(subkeys(kUser, "P"), (std::vector<std::string>{"a", "B", "C", "d", "e"}));
  std::uint32_t count = 0;
  ASSERT_TRUE(registry.subkeyCount(kUser, "P", count));
  for (std::uint32_t index = count; index-- > 0;) {
    std::string name;
    ASSERT_TRUE(registry.enumSubkey(kUser, "P", index, name));
    registry.deleteKey(kUser, "P\\" + name);
  }
  EXPECT_EQ(subkeys(kUser, "P"), std::vector<std::string>{"C"});
  std::string name;
  EXPECT_FALSE(registry.enumSubkey(kUser, "P", 1, name));
  EXPECT_FALSE(registry.enumSubkey(kUser, "Missing", 0, name));
}

TEST_F(PosixRegistryTest, ProgramFilesFolderIsAlwaysKnown) {
  EXPECT_TRUE(registry.openKey(kMachine, kCurrentVersion));
  EXPECT_TRUE(registry.openKey(kMachine, "software\\microsoft"));
  EXPECT_FALSE(registry.openKey(kUser, kCurrentVersion));
  EXPECT_EQ(read(kMachine, kCurrentVersion, "ProgramFilesDir"), home.path() + "/.local/opt");
  EXPECT_EQ(read(kMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "programfilesdir"),
            home.path() + "/.local/opt");
  EXPECT_FALSE(registry.writeValue(kMachine, kCurrentVersion, "ProgramFilesDir", "/elsewhere"));
  EXPECT_FALSE(registry.deleteValue(kMachine, kCurrentVersion, "ProgramFilesDir"));
  EXPECT_EQ(read(kMachine, kCurrentVersion, "ProgramFilesDir"), home.path() + "/.local/opt");
  EXPECT_FALSE(registry.deleteKey(kMachine, kCurrentVersion));
  EXPECT_EQ(subkeys(kMachine, "SOFTWARE\\Microsoft\\Windows"),
            std::vector<std::string>{"CurrentVersion"});
}

TEST_F(PosixRegistryTest, TheUninstallKeyLivesBelowTheSystemKeys) {
  const std::string uninstall = kCurrentVersion + "\\Uninstall\\Kestrova";
  ASSERT_TRUE(registry.createKey(kMachine, uninstall));
  ASSERT_TRUE(registry.writeValue(kMachine, uninstall, "DisplayName", "Kestrova"));
  ASSERT_TRUE(registry.writeValue(kMachine, kCurrentVersion, "Other", "x"));
  EXPECT_EQ(subkeys(kMachine, ""), std::vector<std::string>{"SOFTWARE"});
  EXPECT_EQ(subkeys(kMachine, kCurrentVersion), std::vector<std::string>{"Uninstall"});
  EXPECT_EQ(read(kMachine, kCurrentVersion, "ProgramFilesDir"), home.path() + "/.local/opt");
  EXPECT_TRUE(registry.deleteKey(kMachine, uninstall));
  EXPECT_FALSE(registry.openKey(kMachine, uninstall));
  EXPECT_TRUE(std::filesystem::is_directory(home.dataHome() + "/kestrova-setup/registry/SOFTWARE"));
}

TEST_F(PosixRegistryTest, EachRootHasItsOwnTreeFolder) {
  EXPECT_EQ(registry.treeFolder(kUser), home.configHome() + "/kestrova-setup/registry");
  EXPECT_EQ(registry.treeFolder(kMachine), home.dataHome() + "/kestrova-setup/registry");
  ASSERT_TRUE(registry.createKey(kUser, "OnlyUser"));
  EXPECT_FALSE(registry.openKey(kMachine, "OnlyUser"));
  EXPECT_TRUE(std::filesystem::is_directory(registry.treeFolder(kUser) + "/OnlyUser"));
}

TEST(PosixRegistryFolders, WithoutXdgVariablesTheTreesAreBelowHome) {
  TempHome home;
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
  PosixRegistry registry;
  EXPECT_EQ(registry.treeFolder(kUser), home.path() + "/.config/kestrova-setup/registry");
  EXPECT_EQ(registry.treeFolder(kMachine), home.path() + "/.local/share/kestrova-setup/registry");
}

TEST_F(PosixRegistryTest, WrittenValuesOutliveTheAdapter) {
  ASSERT_TRUE(registry.createKey(kUser, "Software\\Kestrova"));
  ASSERT_TRUE(registry.writeValue(kUser, "Software\\Kestrova", "Install Directory", "/opt/k"));
  PosixRegistry later;
  std::string value;
  ASSERT_TRUE(later.readValue(kUser, "software\\kestrova", "install directory", value));
  EXPECT_EQ(value, "/opt/k");
}

TEST_F(PosixRegistryTest, ALeftOverTemporaryFileChangesNothing) {
  ASSERT_TRUE(registry.createKey(kUser, "K"));
  ASSERT_TRUE(registry.writeValue(kUser, "K", "v", "old"));
  const std::string folder = registry.treeFolder(kUser) + "/K";
  test::writeWholeFile(folder + "/.values.tmp", "KSREG1\n1 3\nvnew");  // a write cut short
  EXPECT_EQ(read(kUser, "K", "v"), "old");
  ASSERT_TRUE(registry.writeValue(kUser, "K", "v", "new"));
  EXPECT_EQ(read(kUser, "K", "v"), "new");
  EXPECT_FALSE(std::filesystem::exists(folder + "/.values.tmp"));
}

TEST_F(PosixRegistryTest, ADamagedValuesFileIsNeitherReadNorOverwritten) {
  ASSERT_TRUE(registry.createKey(kUser, "K"));
  const std::string file = registry.treeFolder(kUser) + "/K/.values";
  test::writeWholeFile(file, "KSREG1\n5 99\nshort\n");
  std::string value;
  EXPECT_FALSE(registry.readValue(kUser, "K", "short", value));
  EXPECT_FALSE(registry.writeValue(kUser, "K", "other", "x"));
  EXPECT_EQ(test::readWholeFile(file), "KSREG1\n5 99\nshort\n");
  EXPECT_TRUE(registry.deleteKey(kUser, "K"));  // the key can still be removed
}

}  // namespace
}  // namespace ks
