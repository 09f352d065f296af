// The notification handler on the fake file system: what is stamped on a
// finished file, and the answers it gives the reader.

#include <gtest/gtest.h>

#include "install/cabinet_extraction.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"
#include "tools/cabwriter/cabinet_writer.h"

namespace ks {
namespace {

class ExtractionFakeTest : public ::testing::Test {
 protected:
  void SetUp() override { fs.folders = {test::nativePath("/dl"), test::nativePath("/app")}; }

  void storeCabinet(const std::vector<cabwriter::WriterFile>& files) {
    std::vector<cabwriter::CabinetImage> images;
    std::string message;
    cabwriter::WriterOptions options;
    options.cabinetName = "pkg.cab";
    ASSERT_TRUE(cabwriter::writeCabinets(files, options, images, message)) << message;
    fs.files[test::nativePath("/dl/pkg.cab")].assign(images[0].bytes.begin(), images[0].bytes.end());
  }

  static cabwriter::WriterFile entry(const std::string& name, uint16_t date, uint16_t time,
                                     uint16_t attributes) {
    cabwriter::WriterFile f;
    f.name = name;
    f.data = {'d', 'a', 't', 'a'};
    f.date = date;
    f.time = time;
    f.attributes = attributes;
    return f;
  }

  test::FakeFileSystem fs;
};

TEST_F(ExtractionFakeTest, TheStoredDateTimeIsSetAsLocalTimeAndFourAttributeBitsKept) {
  storeCabinet({entry("tool.exe", 0x58B1, 0x6DAF, 0x0040 | 0x0080 | 0x0020 | 0x0004 | 0x0001)});
  ASSERT_TRUE(extractCabinet(fs, test::nativePath("/dl/pkg.cab"), test::nativePath("/app")));
  EXPECT_EQ(fs.files[test::nativePath("/app/tool.exe")], "data");
  const FileSystem::LocalDateTime& time = fs.fileTimes.at(test::nativePath("/app/tool.exe"));
  EXPECT_EQ(time.year, 2024);
  EXPECT_EQ(time.month, 5);
  EXPECT_EQ(time.day, 17);
  EXPECT_EQ(time.hour, 13);
  EXPECT_EQ(time.minute, 45);
  EXPECT_EQ(time.second, 30);
  EXPECT_EQ(fs.fileAttributes.at(test::nativePath("/app/tool.exe")), 0x25u);
  EXPECT_TRUE(fs.openFiles.empty());
}

TEST_F(ExtractionFakeTest, AnImpossibleDateLeavesTheTimeButTheFileCountsAsExtracted) {
  storeCabinet({entry("odd.txt", 0x58B1 | (13 << 5), 0, 0x0021)});
  ASSERT_TRUE(extractCabinet(fs, test::nativePath("/dl/pkg.cab"), test::nativePath("/app")));
  EXPECT_EQ(fs.fileTimes.count(test::nativePath("/app/odd.txt")), 0u);
  EXPECT_EQ(fs.fileAttributes.at(test::nativePath("/app/odd.txt")), 0x21u);
}

TEST_F(ExtractionFakeTest, AReadOnlyFileOfAnEarlierInstallationAbortsTheCabinet) {
  storeCabinet({entry("a.txt", 0x58B1, 0, 0x20), entry("b.txt", 0x58B1, 0, 0x20)});
  fs.files[test::nativePath("/app/a.txt")] = "old";
  fs.fileAttributes[test::nativePath("/app/a.txt")] = FileSystem::kAttributeReadOnly;
  ExtractionReport report;
  EXPECT_FALSE(extractCabinet(fs, test::nativePath("/dl/pkg.cab"), test::nativePath("/app"), &report));
  EXPECT_EQ(report.error.code, CAB_ERROR_TARGET_FILE);
  EXPECT_EQ(fs.files[test::nativePath("/app/a.txt")], "old");
  EXPECT_EQ(fs.files.count(test::nativePath("/app/a.txt.ks-tmp")), 0u);
  EXPECT_EQ(fs.files.count(test::nativePath("/app/b.txt")), 0u);
}

TEST_F(ExtractionFakeTest, TheHandlerGoesOnForInformationAndPartialFiles) {
  CabinetNotification n{};
  char empty[1] = "";
  n.text1 = n.text2 = n.text3 = empty;
  EXPECT_EQ(cabinetNotifyHandler(CAB_NOTIFY_CABINET_INFO, &n), 0);
  EXPECT_EQ(cabinetNotifyHandler(CAB_NOTIFY_PARTIAL_FILE, &n), 0);
  EXPECT_EQ(cabinetNotifyHandler(99, &n), 0);
  char next[] = "pkg2.cab";
  n.text1 = next;
  n.error = CAB_ERROR_NONE;
  EXPECT_EQ(cabinetNotifyHandler(CAB_NOTIFY_NEXT_CABINET, &n), 0);
  n.error = CAB_ERROR_CABINET_NOT_FOUND;
  EXPECT_EQ(cabinetNotifyHandler(CAB_NOTIFY_NEXT_CABINET, &n), -1);
}

}  // namespace
}  // namespace ks
