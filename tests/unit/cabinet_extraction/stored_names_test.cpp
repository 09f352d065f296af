// Stored names: which ones stay inside the destination folder, and how they
// become platform paths.

#include "install/stored_names.h"

#include <gtest/gtest.h>

#include "app/paths.h"

namespace ks {
namespace {

TEST(StoredNamesTest, RelativeNamesAreSafe) {
  for (const char* name : {"readme.txt", "plugins\\ftp.dll", "a\\b\\c.txt", "..txt", "a\\..b\\c",
                           "x..\\y", ".\\dot", "a\\.\\b"})
    EXPECT_TRUE(isSafeStoredName(name)) << name;
}

TEST(StoredNamesTest, NamesThatCouldLeaveTheDestinationAreRefused) {
  for (const char* name : {"", "..", "..\\evil.txt", "a\\..\\..\\evil.txt", "a\\..", "\\abs.txt",
                           "/abs.txt", "C:\\x.txt", "c:x.txt", "../evil", "a/../../evil",
                           "a\\b/..\\..\\..\\x", "new\nline", "tab\there", "\x1b[2J", "del\x7f"})
    EXPECT_FALSE(isSafeStoredName(name)) << name;
}

TEST(StoredNamesTest, BackslashesBecomeThePlatformSeparator) {
  const std::string expected =
      std::string("plugins") + kPathSeparator + "net" + kPathSeparator + "ftp.dll";
  EXPECT_EQ(storedNameToPath("plugins\\net\\ftp.dll"), expected);
  EXPECT_EQ(storedNameToPath(".\\plugins\\.\\net\\\\ftp.dll"), expected);
}

TEST(StoredNamesTest, ANextCabinetIsAPlainNameInTheSameFolder) {
  EXPECT_TRUE(isPlainCabinetName("core2.cab"));
  for (const char* name : {"", ".", "..", "..\\victim\\part2.cab", "sub\\part2.cab", "../part2.cab",
                           "C:part2.cab", "/tmp/part2.cab", "part\n2.cab"})
    EXPECT_FALSE(isPlainCabinetName(name)) << name;
}

}  // namespace
}  // namespace ks
