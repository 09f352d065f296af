// The committed programs of tests/fixtures/pe (see make-fixtures.sh there).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalog/version_block.h"
#include "platform/posix/posix_version_resources.h"

namespace ks {
namespace {

std::string fixture(const std::string& name) {
  const char* source = std::getenv("KS_SOURCE_DIR");
  return std::string(source ? source : ".") + "/tests/fixtures/pe/" + name;
}

// What the "FileVersion" probe reads: the text of the first translation.
bool fileVersionOf(const std::string& path, std::string& text) {
  PosixVersionResources resources;
  std::vector<std::uint8_t> block;
  std::vector<std::uint8_t> translation;
  if (!resources.readVersionInfo(path, block) ||
      !queryVersionValue(block, "\\VarFileInfo\\Translation", translation) ||
      translation.size() < 4) {
    return false;
  }
  char name[64];
  std::snprintf(name, sizeof name, "\\StringFileInfo\\%02x%02x%02x%02x\\FileVersion",
                translation[1], translation[0], translation[3], translation[2]);
  return queryVersionString(block, name, text);
}

TEST(PeFixtures, BothWordSizesGiveTheirFileVersion) {
  for (const char* name : {"version64.exe", "version32.exe"}) {
    std::string text;
    ASSERT_TRUE(fileVersionOf(fixture(name), text)) << name;
    EXPECT_EQ(text, "1, 2, 3, 4") << name;
  }
}

TEST(PeFixtures, TheFirstTranslationDecides) {
  std::string text;
  ASSERT_TRUE(fileVersionOf(fixture("german32.exe"), text));
  EXPECT_EQ(text, "5, 6, 7, 8");
}

TEST(PeFixtures, AProgramWithOtherResourcesButNoVersionHasNone) {
  PosixVersionResources resources;
  std::vector<std::uint8_t> block;
  EXPECT_FALSE(resources.readVersionInfo(fixture("noversion64.exe"), block));
}

class NotAProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/ks-pe-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
  PosixVersionResources resources;
  std::vector<std::uint8_t> block;
};

TEST_F(NotAProgram, MissingFilesFoldersAndPipesHaveNoVersion) {
  EXPECT_FALSE(resources.readVersionInfo(folder + "/missing.exe", block));
  EXPECT_FALSE(resources.readVersionInfo(folder, block));
  EXPECT_FALSE(resources.readVersionInfo("", block));
  const std::string pipe = folder + "/pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(resources.readVersionInfo(pipe, block));  // returns at once, no writer needed
}

TEST_F(NotAProgram, TextAndTruncatedProgramsHaveNoVersion) {
  std::ofstream(folder + "/text.exe") << "MZ but nothing else";
  EXPECT_FALSE(resources.readVersionInfo(folder + "/text.exe", block));
  std::ifstream in(fixture("version64.exe"), std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 1024u);
  std::ofstream(folder + "/cut.exe", std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
  EXPECT_FALSE(resources.readVersionInfo(folder + "/cut.exe", block));
}

}  // namespace
}  // namespace ks
