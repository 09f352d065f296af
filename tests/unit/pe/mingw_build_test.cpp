// Real Windows programs, built here with the MinGW tools, read through the
// Linux adapter and queried like the "FileVersion" probe does.

#include <gtest/gtest.h>
#include <stdlib.h>

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

bool haveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class MingwProgram : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    prefix_ = GetParam();
    if (!haveTool(prefix_ + "-windres") || !haveTool(prefix_ + "-gcc")) {
      GTEST_SKIP() << prefix_ << " tools are not installed";
    }
    std::string pattern = std::filesystem::temp_directory_path().string() + "/ks-pe-XXXXXX";
    folder_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    ASSERT_FALSE(folder_.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

  // Builds a program without the C runtime, with the resources of the
  // script when one is given: only the headers and the resources matter.
  std::string build(const std::string& resourceScript) {
    writeText(folder_ + "/main.c", "int start(void) { return 0; }\n");
    std::string objects;
    if (!resourceScript.empty()) {
      const std::string windres =
          prefix_ + "-windres '" + resourceScript + "' -O coff -o '" + folder_ + "/version.o'";
      if (std::system(windres.c_str()) != 0) return {};
      objects = " '" + folder_ + "/version.o'";
    }
    const std::string entry = prefix_.rfind("i686", 0) == 0 ? "_start" : "start";
    const std::string program = folder_ + "/program.exe";
    const std::string gcc = prefix_ + "-gcc -Os -s -nostdlib -Wl,--entry=" + entry + " '" +
                            folder_ + "/main.c'" + objects + " -o '" + program + "'";
    return std::system(gcc.c_str()) == 0 ? program : std::string();
  }

  std::string prefix_;
  std::string folder_;
};

TEST_P(MingwProgram, FileVersionComesOutOfTheResource) {
  const std::string program = build(fixture("version.rc"));
  ASSERT_FALSE(program.empty());
  PosixVersionResources resources;
  std::vector<std::uint8_t> block;
  ASSERT_TRUE(resources.readVersionInfo(program, block));
  std::vector<std::uint8_t> translation;
  ASSERT_TRUE(queryVersionValue(block, "\\VarFileInfo\\Translation", translation));
  EXPECT_EQ(translation, (std::vector<std::uint8_t>{0x09, 0x04, 0xB0, 0x04}));
  std::string text;
  ASSERT_TRUE(queryVersionString(block, "\\StringFileInfo\\040904b0\\FileVersion", text));
  EXPECT_EQ(text, "1, 2, 3, 4");
  ASSERT_TRUE(queryVersionString(block, "\\StringFileInfo\\040904B0\\productname", text));
  EXPECT_EQ(text, "Kestrova");
  // The fixed file information: signature 0xFEEF04BD, then the version
  // numbers with 1.2 in the high and 3.4 in the low double word.
  std::vector<std::uint8_t> fixed;
  ASSERT_TRUE(queryVersionValue(block, "\\", fixed));
  ASSERT_EQ(fixed.size(), 52u);
  EXPECT_EQ(std::vector<std::uint8_t>(fixed.begin(), fixed.begin() + 4),
            (std::vector<std::uint8_t>{0xBD, 0x04, 0xEF, 0xFE}));
  EXPECT_EQ(std::vector<std::uint8_t>(fixed.begin() + 8, fixed.begin() + 16),
            (std::vector<std::uint8_t>{2, 0, 1, 0, 4, 0, 3, 0}));
}

TEST_P(MingwProgram, AProgramWithoutVersionResourceHasNone) {
  const std::string program = build("");
  ASSERT_FALSE(program.empty());
  PosixVersionResources resources;
  std::vector<std::uint8_t> block = {1, 2, 3};
  EXPECT_FALSE(resources.readVersionInfo(program, block));
  EXPECT_EQ(block, (std::vector<std::uint8_t>{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(Windows, MingwProgram,
                         ::testing::Values("x86_64-w64-mingw32", "i686-w64-mingw32"),
                         [](const auto& info) {
                           return std::string(info.param).rfind("i686", 0) == 0 ? "Win32" : "Win64";
                         });

}  // namespace
}  // namespace ks
