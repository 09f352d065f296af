// Extracting package cabinets into a real temporary folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "install/cabinet_extraction.h"
#include "install/extraction_state.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/run_command.h"
#include "tools/cabwriter/cabinet_writer.h"

namespace ks {
namespace {

using cabwriter::WriterFile;
using cabwriter::WriterOptions;

constexpr uint16_t kDate = 0x58B1;             // 2024-05-17
constexpr uint16_t kTime = 0x6DAF;             // 13:45:30
constexpr std::time_t kStampUtc = 1715953530;  // the same, read in UTC

WriterFile file(const std::string& name, const std::string& content, uint16_t attributes = 0x20) {
  WriterFile f;
  f.name = name;
  f.data.assign(content.begin(), content.end());
  f.date = kDate;
  f.time = kTime;
  f.attributes = attributes;
  return f;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ExtractionOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousTz_ = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
    setenv("TZ", "UTC", 1);
    tzset();
    destination = temp.path() + "/Kestrova";
    std::filesystem::create_directory(destination);
  }
  void TearDown() override {
    if (previousTz_.empty())
      unsetenv("TZ");
    else
      setenv("TZ", previousTz_.c_str(), 1);
    tzset();
    // Read-only files and folders must not keep the temporary folder alive.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.path()))
      ::chmod(entry.path().c_str(), 0755);
  }

  // Writes the cabinets of a set into the temporary folder; the first one's path.
  std::string writeCabinet(const std::vector<WriterFile>& files, WriterOptions options = {}) {
    options.cabinetName = "package.cab";
    std::vector<cabwriter::CabinetImage> images;
    std::string message;
    EXPECT_TRUE(cabwriter::writeCabinets(files, options, images, message)) << message;
    for (const auto& image : images)
      temp.write(image.name, std::string(image.bytes.begin(), image.bytes.end()));
    return temp.path() + "/package.cab";
  }

  bool extract(const std::string& package, ExtractionReport* report = nullptr) {
    return extractCabinet(fileSystem, package, destination, report);
  }
  // Every file and folder below the destination, by relative path.
  std::vector<std::string> installed() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(destination))
      found.push_back(std::filesystem::relative(entry.path(), destination).string());
    std::sort(found.begin(), found.end());
    return found;
  }

  test::TempDir temp;
  PosixFileSystem fileSystem;
  std::string destination;

 private:
  std::string previousTz_;
};

TEST_F(ExtractionOnDiskTest, FilesAndTheirFirstFolderAreCreatedWithTheStoredTime) {
  const std::string package =
      writeCabinet({file("readme.txt", "Read me first.\r\n"), file("plugins\\ftp.dll", "MZ dll")});
  ASSERT_TRUE(extract(package));
  EXPECT_EQ(readAll(destination + "/readme.txt"), "Read me first.\r\n");
  EXPECT_EQ(readAll(destination + "/plugins/ftp.dll"), "MZ dll");
  struct stat info {};
  ASSERT_EQ(::stat((destination + "/plugins/ftp.dll").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, kStampUtc);
}

TEST_F(ExtractionOnDiskTest, NestedFoldersAreCreatedLevelByLevel) {
  const std::string package =
      writeCabinet({file("a\\b\\c.txt", "deep"), file("a\\b\\d\\e.txt", "deeper")});
  ASSERT_TRUE(extract(package));
  EXPECT_EQ(readAll(destination + "/a/b/c.txt"), "deep");
  EXPECT_EQ(readAll(destination + "/a/b/d/e.txt"), "deeper");
}

TEST_F(ExtractionOnDiskTest, HiddenReadOnlyFilesKeepTheirAttributesAndCannotBeOverwritten) {
  const std::string package = writeCabinet({file("locked.dat", "v1", 0x0001 | 0x0002 | 0x0040)});
  ASSERT_TRUE(extract(package));
  const std::string path = destination + "/locked.dat";
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
  char value[32] = {};
  const ssize_t length = ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
  if (length >= 0) {
    EXPECT_STREQ(value, "0x3");  // read-only and hidden; the run bit is dropped
  } else {
    EXPECT_TRUE(errno == ENOTSUP || errno == ENODATA) << errno;
  }

  ExtractionReport report;
  EXPECT_FALSE(extract(package, &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_TARGET_FILE);
  EXPECT_EQ(readAll(path), "v1");
  EXPECT_EQ(installed(), std::vector<std::string>{"locked.dat"});
}

TEST_F(ExtractionOnDiskTest, AnHtmlPageFailsTheCabinetTestBeforeAnythingIsWritten) {
  const std::string page = temp.write("package.cab", "<html>404 Not Found</html>");
  ExtractionReport report;
  EXPECT_FALSE(extract(page, &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_NOT_A_CABINET);
  EXPECT_TRUE(std::filesystem::is_empty(destination));
}

TEST_F(ExtractionOnDiskTest, AMissingPackageFails) {
  ExtractionReport report;
  EXPECT_FALSE(extract(temp.path() + "/missing.cab", &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_CABINET_NOT_FOUND);
}

TEST_F(ExtractionOnDiskTest, AnExistingLongerFileIsReplacedWithoutAStaleTail) {
  const std::string package = writeCabinet({file("config.ini", "short")});
  temp.write("Kestrova/config.ini", "a much longer old content that must disappear");
  ASSERT_TRUE(extract(package));
  EXPECT_EQ(readAll(destination + "/config.ini"), "short");
}

class UnsafeNameTest : public ExtractionOnDiskTest,
                       public ::testing::WithParamInterface<const char*> {};

// Every name is checked before anything is written, so not even the good
// file before the bad one arrives.
TEST_P(UnsafeNameTest, NothingIsWrittenAtAll) {
  const std::string package = writeCabinet({file("good.txt", "ok"), file(GetParam(), "evil")});
  std::filesystem::create_directory(destination + "/a");
  EXPECT_FALSE(extract(package));
  EXPECT_FALSE(std::filesystem::exists(temp.path() + "/evil.txt"));
  EXPECT_FALSE(std::filesystem::exists("/evil.txt"));
  EXPECT_EQ(installed(), std::vector<std::string>{"a"});
}

INSTANTIATE_TEST_SUITE_P(StoredNames, UnsafeNameTest,
                         ::testing::Values("..\\evil.txt", "a\\..\\..\\evil.txt", "\\evil.txt",
                                           "C:\\evil.txt", "a/../../evil.txt", "evil\n.txt",
                                           "a\\\x1b]0;owned\a.txt", "evil\x7f.txt"));

TEST_F(ExtractionOnDiskTest, AFileSpanningIntoTheNextCabinetIsFollowedInTheSameFolder) {
  WriterOptions options;
  options.maxCabinetSize = 40000;
  options.compression = cabwriter::Compression::Stored;
  std::string big(70000, 'x');
  for (std::size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>('a' + i % 26);
  const std::string package = writeCabinet({file("big.bin", big)}, options);
  ASSERT_TRUE(std::filesystem::exists(temp.path() + "/package2.cab"));
  ASSERT_TRUE(extract(package));
  EXPECT_EQ(readAll(destination + "/big.bin"), big);
}

TEST_F(ExtractionOnDiskTest, AMissingNextCabinetFailsInsteadOfAskingForever) {
  WriterOptions options;
  options.maxCabinetSize = 40000;
  options.compression = cabwriter::Compression::Stored;
  const std::string package = writeCabinet({file("big.bin", std::string(70000, 'x'))}, options);
  std::filesystem::remove(temp.path() + "/package2.cab");
  ExtractionReport report;
  EXPECT_FALSE(extract(package, &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_USER_ABORT);
  EXPECT_TRUE(installed().empty()) << "the part written so far is removed";
}

TEST_F(ExtractionOnDiskTest, APackagePathWithoutSeparatorIsOpenedInTheCurrentFolder) {
  writeCabinet({file("here.txt", "here")});
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(temp.path());
  const bool extracted = extract("package.cab");
  std::filesystem::current_path(previous);
  EXPECT_TRUE(extracted);
  EXPECT_EQ(readAll(destination + "/here.txt"), "here");
}

TEST_F(ExtractionOnDiskTest, PathsBeyondTheirBuffersAreRefused) {
  const std::string package = writeCabinet({file(std::string(250, 'n'), "long")});
  EXPECT_FALSE(extract(package));  // destination + name above 255 characters
  const std::string longDestination = destination + "/" + std::string(250, 'd');
  EXPECT_FALSE(extractCabinet(fileSystem, package, longDestination));
}

TEST_F(ExtractionOnDiskTest, TheSpillFileRequestIsRefusedWithoutCreatingAFile) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(temp.path());
  extractionState().fileSystem = &fileSystem;
  const int32_t spill = extractionOpen("*", 0x8102, 0x180);
  extractionState() = ExtractionState{};
  std::filesystem::current_path(previous);
  EXPECT_EQ(spill, -1);
  EXPECT_FALSE(std::filesystem::exists(temp.path() + "/*"));
}

}  // namespace
}  // namespace ks
