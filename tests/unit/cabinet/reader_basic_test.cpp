// Recognising cabinets and extracting stored folders: contents, notification
// order, attributes, skipped and empty files.

#include "tests/unit/cabinet/reader_fixture.h"

namespace ks::test {
namespace {

using cabwriter::Compression;
using cabwriter::WriterOptions;

WriterOptions stored() {
  WriterOptions options;
  options.compression = Compression::Stored;
  return options;
}

class CabinetRecognitionTest : public CabinetReaderTest {};

TEST_F(CabinetRecognitionTest, ACabinetFillsTheInfoRecord) {
  store({makeFile("a.txt", textData(100)), makeFile("b.txt", textData(50))}, stored());
  const int32_t handle = memoryOpen("test.cab", 0x8000, 0);
  CabinetInfo info{};
  EXPECT_EQ(cabinetIsCabinet(context, handle, &info), 1);
  memoryClose(handle);
  EXPECT_EQ(info.totalSize, static_cast<int32_t>(cabinetBytes("test.cab").size()));
  EXPECT_EQ(info.folderCount, 1);
  EXPECT_EQ(info.fileCount, 2);
  EXPECT_EQ(info.setId, 0x4B53);
  EXPECT_EQ(info.cabinetIndex, 0);
  EXPECT_EQ(info.hasReserve, 0);
  EXPECT_EQ(info.hasPrevious, 0);
  EXPECT_EQ(info.hasNext, 0);
}

TEST_F(CabinetRecognitionTest, AnHtmlPageIsNotACabinetAndLeavesTheErrorRecordAlone) {
  const std::string page = "<html><body>404 Not Found</body></html>";
  files().files["page.cab"].assign(page.begin(), page.end());
  error = CabinetError{42, 7, 0};
  const int32_t handle = memoryOpen("page.cab", 0x8000, 0);
  CabinetInfo info{};
  EXPECT_EQ(cabinetIsCabinet(context, handle, &info), 0);
  memoryClose(handle);
  EXPECT_EQ(error.code, 42);
  EXPECT_EQ(error.detail, 7);
  EXPECT_EQ(error.failed, 0);
}

TEST_F(CabinetRecognitionTest, Version12IsUnsupportedWithTheVersionAsDetail) {
  store({makeFile("a.txt", textData(10))}, stored());
  putU16(cabinetBytes("test.cab"), 24, 0x0102);
  const int32_t handle = memoryOpen("test.cab", 0x8000, 0);
  CabinetInfo info{};
  EXPECT_EQ(cabinetIsCabinet(context, handle, &info), 0);
  memoryClose(handle);
  EXPECT_EQ(error.code, CAB_ERROR_UNSUPPORTED_VERSION);
  EXPECT_EQ(error.detail, 0x0102);
  EXPECT_EQ(error.failed, 1);

  error = {};
  EXPECT_EQ(copy("test.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_UNSUPPORTED_VERSION);
  EXPECT_EQ(error.detail, 0x0102);
}

TEST_F(CabinetRecognitionTest, AFileShorterThanAHeaderIsNotACabinet) {
  files().files["short.cab"] = {'M', 'S', 'C', 'F', 0, 0};
  const int32_t handle = memoryOpen("short.cab", 0x8000, 0);
  CabinetInfo info{};
  EXPECT_EQ(cabinetIsCabinet(context, handle, &info), 0);
  memoryClose(handle);
  EXPECT_EQ(copy("short.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_NOT_A_CABINET);
}

class StoredExtractionTest : public CabinetReaderTest {};

TEST_F(StoredExtractionTest, EveryFileComesOutWithItsBytes) {
  const std::vector<std::size_t> sizes = {0, 1, 100, 32767, 32768, 32769, 100000};
  std::vector<cabwriter::WriterFile> input;
  for (std::size_t i = 0; i < sizes.size(); ++i)
    input.push_back(makeFile("f" + std::to_string(i), noiseData(sizes[i], i + 1)));
  store(input, stored());
  ASSERT_EQ(copy("test.cab"), 1) << error.code;
  for (const auto& file : input) EXPECT_EQ(extracted(file.name), file.data) << file.name;
}

TEST_F(StoredExtractionTest, FilesInSeveralFoldersAndStoredNamesWithBackslashes) {
  WriterOptions options = stored();
  options.filesPerFolder = 2;
  std::vector<cabwriter::WriterFile> input = {
      makeFile("readme.txt", textData(5000, 1)), makeFile("plugins\\ftp.dll", noiseData(70000, 2)),
      makeFile("plugins\\sftp.dll", noiseData(40000, 3)), makeFile("help\\a.hlp", textData(9, 4)),
      makeFile("last.bin", noiseData(33000, 5))};
  store(input, options);
  ASSERT_EQ(copy("test.cab"), 1) << error.code;
  for (const auto& file : input) EXPECT_EQ(extracted(file.name), file.data) << file.name;
}

TEST_F(StoredExtractionTest, NotificationsComeInListOrderWithTheFieldsOfEachKind) {
  store({makeFile("one.txt", textData(10), 0x21), makeFile("two.txt", textData(20), 0x01)},
        stored());
  ASSERT_EQ(copy("test.cab", nullptr, 77), 1);
  EXPECT_EQ(kinds(), (std::vector<int32_t>{CAB_NOTIFY_CABINET_INFO, CAB_NOTIFY_COPY_FILE,
                                           CAB_NOTIFY_CLOSE_FILE, CAB_NOTIFY_COPY_FILE,
                                           CAB_NOTIFY_CLOSE_FILE}));
  EXPECT_EQ(events[0].text1, "");  // no next cabinet
  EXPECT_EQ(events[1].text1, "one.txt");
  EXPECT_EQ(events[1].size, 10);
  EXPECT_EQ(events[1].attributes, 0x21);
  EXPECT_EQ(events[3].text1, "two.txt");
  EXPECT_EQ(events[3].size, 20);
}

TEST_F(StoredExtractionTest, TheUserValueReachesEveryNotification) {
  store({makeFile("one.txt", textData(10))}, stored());
  std::vector<intptr_t> seen;
  answer = [&](int32_t, CabinetNotification& n) -> std::optional<int32_t> {
    seen.push_back(n.userValue);
    return std::nullopt;
  };
  ASSERT_EQ(copy("test.cab", nullptr, 4242), 1);
  EXPECT_EQ(seen, (std::vector<intptr_t>{4242, 4242, 4242}));
}

TEST_F(StoredExtractionTest, TheRunAfterExtractionBitBecomesTheCloseSize) {
  store({makeFile("setup.exe", textData(10), 0x0040 | 0x0080 | 0x0001),
         makeFile("plain.txt", textData(10), 0x0020)},
        stored());
  ASSERT_EQ(copy("test.cab"), 1);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[1].attributes, 0x00C1);  // offered unchanged
  EXPECT_EQ(events[2].kind, CAB_NOTIFY_CLOSE_FILE);
  EXPECT_EQ(events[2].size, 1);
  EXPECT_EQ(events[2].attributes, 0x0081);
  EXPECT_EQ(events[4].size, 0);
  EXPECT_EQ(events[4].attributes, 0x0020);
}

TEST_F(StoredExtractionTest, ASkippedFileIsDecodedPastAndTheNextOneIsRight) {
  const std::vector<uint8_t> first = noiseData(50000, 1);
  const std::vector<uint8_t> second = noiseData(40000, 2);
  store({makeFile("skip.bin", first), makeFile("keep.bin", second)}, stored());
  answer = [](int32_t kind, CabinetNotification& n) -> std::optional<int32_t> {
    if (kind == CAB_NOTIFY_COPY_FILE && std::string(n.text1) == "skip.bin") return 0;
    return std::nullopt;
  };
  ASSERT_EQ(copy("test.cab"), 1);
  EXPECT_FALSE(wasExtracted("skip.bin"));
  EXPECT_EQ(extracted("keep.bin"), second);
  EXPECT_EQ(kinds(), (std::vector<int32_t>{CAB_NOTIFY_CABINET_INFO, CAB_NOTIFY_COPY_FILE,
                                           CAB_NOTIFY_COPY_FILE, CAB_NOTIFY_CLOSE_FILE}));
}

TEST_F(StoredExtractionTest, AnEmptyFileIsClosedWithNothingWritten) {
  store({makeFile("empty.txt", {}), makeFile("full.txt", textData(300))}, stored());
  ASSERT_EQ(copy("test.cab"), 1);
  EXPECT_TRUE(wasExtracted("empty.txt"));
  EXPECT_TRUE(extracted("empty.txt").empty());
  EXPECT_EQ(kinds()[2], CAB_NOTIFY_CLOSE_FILE);
  EXPECT_EQ(extracted("full.txt"), textData(300));
}

TEST_F(StoredExtractionTest, ACabinetOfEmptyFilesOnlyAndOneWithoutFiles) {
  store({makeFile("a", {}), makeFile("b", {})}, stored());
  EXPECT_EQ(copy("test.cab"), 1) << error.code;
  EXPECT_TRUE(wasExtracted("a"));
  EXPECT_TRUE(wasExtracted("b"));
  store({}, stored());
  events.clear();
  EXPECT_EQ(copy("test.cab"), 1);
  EXPECT_EQ(kinds(), (std::vector<int32_t>{CAB_NOTIFY_CABINET_INFO}));
}

TEST_F(StoredExtractionTest, TheContextServesSeveralCopiesAndSurvivesAFailure) {
  store({makeFile("a.txt", textData(1000))}, stored());
  EXPECT_EQ(copy("missing.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_CABINET_NOT_FOUND);
  EXPECT_EQ(copy("test.cab"), 1);
  files().files.erase("out\\a.txt");
  EXPECT_EQ(copy("test.cab"), 1);
  EXPECT_EQ(extracted("a.txt"), textData(1000));
  EXPECT_EQ(error.failed, 1);  // never cleared by the library
}

TEST_F(StoredExtractionTest, TheCabinetIsOpenedAsPathFollowedByName) {
  store({makeFile("a.txt", textData(10))}, stored());
  files().files["dl\\test.cab"] = cabinetBytes("test.cab");
  files().openedNames.clear();
  ASSERT_EQ(cabinetCopy(context, "test.cab", "dl\\", 0, notify, nullptr, 0), 1);
  EXPECT_EQ(files().openedNames[0], "dl\\test.cab");
  EXPECT_EQ(files().openedNames[1], "dl\\test.cab");
}

}  // namespace
}  // namespace ks::test
