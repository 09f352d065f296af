// Extracting package cabinets into a real temporary folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include "install/cabinet_extraction.h"
#include "install/extraction_state.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/temp_dir.h"
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

  static std::vector<cabwriter::CabinetImage> build(const std::vector<WriterFile>& files,
                                                    const WriterOptions& options) {
    std::vector<cabwriter::CabinetImage> images;
    std::string message;
    EXPECT_TRUE(cabwriter::writeCabinets(files, options, images, message)) << message;
    return images;
  }
  std::string place(const std::string& relative, const std::vector<uint8_t>& bytes) {
    return temp.write(relative, std::string(bytes.begin(), bytes.end()));
  }
  // Writes the cabinets of a set into the temporary folder; the first one's path.
  std::string writeCabinet(const std::vector<WriterFile>& files, WriterOptions options = {}) {
    options.cabinetName = "package.cab";
    for (const auto& image : build(files, options)) place(image.name, image.bytes);
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

TEST_F(ExtractionOnDiskTest, AFailedExtractionLeavesTheOlderFileAndNoTemporaryFile) {
  temp.write("Kestrova/plugins/sftp.dll", "the older plugin");
  WriterOptions options;
  options.compression = cabwriter::Compression::Stored;
  std::vector<uint8_t> cabinet =
      build({file("readme.txt", "r"), file("plugins\\sftp.dll", std::string(50000, 's'))},
            options)[0]
          .bytes;
  cabinet.resize(cabinet.size() - 5000);  // a package cut short in its last block
  EXPECT_FALSE(extract(place("package.cab", cabinet)));
  EXPECT_EQ(readAll(destination + "/plugins/sftp.dll"), "the older plugin");
  EXPECT_EQ(installed(), (std::vector<std::string>{"plugins", "plugins/sftp.dll", "readme.txt"}));
}

TEST_F(ExtractionOnDiskTest, WhatAKilledRunLeftIsRemovedWhenTheNextRunInstalls) {
  temp.write("Kestrova/plugins/sftp.dll.ks-tmp", "half a plugin");
  temp.write("Kestrova/Kestrova.exe.ks-tmp", "half a program");
  temp.write("Kestrova/notes.txt", "the user's own");
  ASSERT_TRUE(
      extract(writeCabinet({file("Kestrova.exe", "program"), file("plugins\\sftp.dll", "dll")})));
  EXPECT_EQ(installed(),
            (std::vector<std::string>{"Kestrova.exe", "notes.txt", "plugins", "plugins/sftp.dll"}));
}

TEST_F(ExtractionOnDiskTest, LinksInTheInstallationFolderAreReplacedNeverFollowed) {
  namespace fs = std::filesystem;
  const std::string outside = temp.write("elsewhere/file", "not the setup's");
  fs::create_directory(temp.path() + "/elsewhere/dir");
  fs::create_symlink(outside, destination + "/Kestrova.exe");
  fs::create_symlink(outside, destination + "/readme.txt.ks-tmp");
  fs::create_directory_symlink(temp.path() + "/elsewhere/dir", destination + "/plugins");
  struct stat before {};
  ASSERT_EQ(::stat(outside.c_str(), &before), 0);
  ASSERT_TRUE(
      extract(writeCabinet({file("Kestrova.exe", "program", 0x01), file("readme.txt", "read me"),
                            file("plugins\\ftp.dll", "dll")})));
  struct stat after {};
  ASSERT_EQ(::stat(outside.c_str(), &after), 0);
  EXPECT_EQ(readAll(outside), "not the setup's");
  EXPECT_EQ(after.st_mtime, before.st_mtime);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_TRUE(fs::is_empty(temp.path() + "/elsewhere/dir"));
  EXPECT_EQ(fs::symlink_status(destination + "/Kestrova.exe").type(), fs::file_type::regular);
  EXPECT_EQ(readAll(destination + "/Kestrova.exe"), "program");
  EXPECT_EQ(fs::symlink_status(destination + "/plugins").type(), fs::file_type::directory);
  EXPECT_EQ(installed(),
            (std::vector<std::string>{"Kestrova.exe", "plugins", "plugins/ftp.dll", "readme.txt"}));
}

TEST_F(ExtractionOnDiskTest, AFifoIsNeverOpenedOrWaitedFor) {
  const std::string fifo = temp.path() + "/package.cab";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ExtractionReport report;
  EXPECT_FALSE(extract(fifo, &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_CABINET_NOT_FOUND);
  std::string content;
  EXPECT_FALSE(fileSystem.readFile(fifo, content, 1024));
  EXPECT_FALSE(fileSystem.copyFile(fifo, destination, "package.cab"));
  EXPECT_TRUE(installed().empty());
}

TEST_F(ExtractionOnDiskTest, ANextCabinetOutsideThePackageFolderIsRefused) {
  WriterOptions options;
  options.maxCabinetSize = 40000;
  options.compression = cabwriter::Compression::Stored;
  options.cabinetName = "../victim/package.cab";  // names the next one "../victim/package2.cab"
  const auto images = build({file("big.bin", std::string(70000, 'x'))}, options);
  ASSERT_EQ(images.size(), 2u);
  const std::string package = place("pkg/package.cab", images[0].bytes);
  place("victim/package2.cab", images[1].bytes);
  ExtractionReport report;
  EXPECT_FALSE(extract(package, &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_USER_ABORT);
  EXPECT_TRUE(installed().empty());
}

uint32_t u32At(const std::vector<uint8_t>& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

void putU32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The folder table of a cabinet without reserve or neighbours follows the
// 36-byte header: 8 bytes per folder, coffCabStart first.
constexpr std::size_t kFolderTable = 36;

TEST_F(ExtractionOnDiskTest, FoldersSharingTheirDataBlocksAreACorruptCabinet) {
  WriterOptions options;
  options.filesPerFolder = 1;
  std::vector<WriterFile> files;
  for (int i = 0; i < 20; ++i)
    files.push_back(file("part" + std::to_string(i), std::string(100000, 'z')));
  const std::vector<uint8_t> original = build(files, options)[0].bytes;

  // Every folder points at the first folder's blocks.
  std::vector<uint8_t> shared = original;
  for (std::size_t i = 1; i < files.size(); ++i)
    std::copy_n(original.begin() + kFolderTable, 6, shared.begin() + kFolderTable + 8 * i);
  ExtractionReport report;
  EXPECT_FALSE(extract(place("shared.cab", shared), &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_CORRUPT_CABINET);
  EXPECT_TRUE(installed().empty());

  // The second folder begins inside the first one's blocks.
  std::vector<uint8_t> overlapping = original;
  const uint32_t first = u32At(original, kFolderTable);
  const uint32_t secondBlock = first + 8 + (original[first + 4] | (original[first + 5] << 8));
  putU32(overlapping, kFolderTable + 8, secondBlock);
  EXPECT_FALSE(extract(place("overlapping.cab", overlapping), &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_CORRUPT_CABINET);
  EXPECT_EQ(installed(), std::vector<std::string>{}) << "the first file is cut short";
}

TEST_F(ExtractionOnDiskTest, ACabinetLargerThanTheFreeSpaceFailsBeforeAnythingIsWritten) {
  struct statvfs disk {};
  ASSERT_EQ(::statvfs(destination.c_str(), &disk), 0);
  const uint64_t free = static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize;
  const std::size_t count = static_cast<std::size_t>(free / 0xFFFFFFFFull) + 2;
  ASSERT_LT(count, 65535u) << "a disk larger than a cabinet can claim";
  std::vector<WriterFile> files;
  for (std::size_t i = 0; i < count; ++i) files.push_back(file("f" + std::to_string(i), "1"));
  WriterOptions options;
  options.compression = cabwriter::Compression::Stored;
  std::vector<uint8_t> cabinet = build(files, options)[0].bytes;
  // Each entry claims 4 GiB - 1 bytes.
  std::size_t at = u32At(cabinet, 16);  // coffFiles
  for (std::size_t i = 0; i < count; ++i) {
    putU32(cabinet, at, 0xFFFFFFFFu);
    at += 16 + std::strlen(reinterpret_cast<const char*>(cabinet.data() + at + 16)) + 1;
  }
  ExtractionReport report;
  EXPECT_FALSE(extract(place("huge.cab", cabinet), &report));
  EXPECT_EQ(report.bytesNeeded, count * 0xFFFFFFFFull);
  EXPECT_TRUE(installed().empty());
  EXPECT_EQ(notEnoughSpaceText(3 * 1024 * 1024 + 1),
            "Not enough disk space: the package needs 4 MB.");
}

}  // namespace
}  // namespace ks
