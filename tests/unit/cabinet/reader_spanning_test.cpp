// Cabinet sets: files and blocks split across two and three cabinets, the
// next-cabinet notification and its failures.

#include <algorithm>
#include <cstring>

#include "tests/unit/cabinet/reader_fixture.h"

namespace ks::test {
namespace {

using cabwriter::CabinetImage;
using cabwriter::Compression;
using cabwriter::WriterOptions;

WriterOptions spanning(uint32_t maxSize) {
  WriterOptions options;
  options.compression = Compression::Stored;
  options.maxCabinetSize = maxSize;
  options.cabinetName = "set.cab";
  return options;
}

class SpanningTest : public CabinetReaderTest {
 protected:
  // Extracts the whole set as a caller does: each cabinet in turn.
  void copyWholeSet(const std::vector<CabinetImage>& set) {
    for (const CabinetImage& cabinet : set) ASSERT_EQ(copy(cabinet.name), 1) << cabinet.name;
  }
};

TEST_F(SpanningTest, TwoCabinetsWithOneFileSpanningThem) {
  const std::vector<uint8_t> head = textData(1000, 1);
  const std::vector<uint8_t> big = noiseData(60000, 2);
  const std::vector<uint8_t> tail = textData(500, 3);
  const auto set = store({makeFile("head", head), makeFile("big", big), makeFile("tail", tail)},
                         spanning(45000));
  ASSERT_EQ(set.size(), 2u);
  ASSERT_EQ(set[1].name, "set2.cab");

  ASSERT_EQ(copy("set.cab"), 1) << error.code;
  EXPECT_EQ(extracted("head"), head);
  EXPECT_EQ(extracted("big"), big);
  EXPECT_EQ(extracted("tail"), tail);  // continued in the same folder
  EXPECT_EQ(kinds(), (std::vector<int32_t>{
                         CAB_NOTIFY_CABINET_INFO, CAB_NOTIFY_COPY_FILE, CAB_NOTIFY_CLOSE_FILE,
                         CAB_NOTIFY_COPY_FILE, CAB_NOTIFY_NEXT_CABINET, CAB_NOTIFY_CABINET_INFO,
                         CAB_NOTIFY_CLOSE_FILE, CAB_NOTIFY_COPY_FILE, CAB_NOTIFY_CLOSE_FILE}));
  EXPECT_EQ(events[0].text1, "set2.cab");
  EXPECT_EQ(events[4].text1, "set2.cab");
  EXPECT_EQ(events[4].cabinetIndex, 1);
  EXPECT_EQ(events[4].error, 0);
  EXPECT_EQ(events[5].cabinetIndex, 1);

  events.clear();
  ASSERT_EQ(copy("set2.cab"), 1);
  for (const NotifyEvent& event : events) EXPECT_NE(event.kind, CAB_NOTIFY_COPY_FILE);
  EXPECT_EQ(kinds()[1], CAB_NOTIFY_PARTIAL_FILE);
  EXPECT_EQ(events[1].text1, "big");
  EXPECT_EQ(events[1].text2, "set.cab");
}

TEST_F(SpanningTest, TheSecondCabinetsOwnFilesWaitForItsOwnCopy) {
  WriterOptions options = spanning(40000);
  options.filesPerFolder = 1;
  const std::vector<uint8_t> big = noiseData(50000, 1);
  const std::vector<uint8_t> own = textData(3000, 2);
  const auto set = store({makeFile("big", big), makeFile("own", own)}, options);
  ASSERT_EQ(set.size(), 2u);
  ASSERT_EQ(copy("set.cab"), 1) << error.code;
  EXPECT_EQ(extracted("big"), big);
  EXPECT_FALSE(wasExtracted("own"));
  ASSERT_EQ(copy("set2.cab"), 1) << error.code;
  EXPECT_EQ(extracted("own"), own);
}

TEST_F(SpanningTest, SplitBlocksAcrossThreeCabinets) {
  const std::vector<uint8_t> data = noiseData(150000, 7);
  const std::vector<uint8_t> small = textData(100, 8);
  const auto set = store({makeFile("all", data), makeFile("small", small)}, spanning(50000));
  ASSERT_GE(set.size(), 3u);
  ASSERT_EQ(copy("set.cab"), 1) << error.code;
  EXPECT_EQ(extracted("all"), data);
  EXPECT_EQ(extracted("small"), small);
  int moves = 0;
  for (const NotifyEvent& event : events) moves += event.kind == CAB_NOTIFY_NEXT_CABINET;
  EXPECT_EQ(moves, static_cast<int>(set.size()) - 1);
}

TEST_F(SpanningTest, AHookSeesBothPartsOfASplitBlock) {
  static std::vector<std::pair<int32_t, uint16_t>> blocks;  // split flag, partial size
  blocks.clear();
  const auto hook = [](CabinetHookInfo* info) -> int32_t {
    if (info->kind == CAB_HOOK_DATA_BLOCK)
      blocks.emplace_back(info->u.block.split, info->u.block.partialSize);
    return 0;
  };
  store({makeFile("all", noiseData(60000, 1))}, spanning(45000));
  ASSERT_EQ(copy("set.cab", hook), 1) << error.code;
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0], std::make_pair(0, uint16_t{0}));
  EXPECT_EQ(blocks[1].first, 1);  // first part: cbUncomp 0
  EXPECT_EQ(blocks[1].second, 0);
  EXPECT_EQ(blocks[2].first, 1);  // second part, placed after the first
  EXPECT_GT(blocks[2].second, 0);
}

TEST_F(SpanningTest, SkippedSpanningFilesAreCaughtUpInTheNextCabinet) {
  const std::vector<uint8_t> a = noiseData(30000, 1);
  const std::vector<uint8_t> b = noiseData(8000, 2);
  const std::vector<uint8_t> c = noiseData(8000, 3);
  store({makeFile("a", a), makeFile("b", b), makeFile("c", c)}, spanning(35000));
  answer = [](int32_t kind, CabinetNotification& n) -> std::optional<int32_t> {
    if (kind == CAB_NOTIFY_COPY_FILE && std::string(n.text1) == "b") return 0;
    return std::nullopt;
  };
  ASSERT_EQ(copy("set.cab"), 1) << error.code;
  EXPECT_EQ(extracted("a"), a);
  EXPECT_FALSE(wasExtracted("b"));
  EXPECT_EQ(extracted("c"), c);
}

TEST_F(SpanningTest, EveryContinuedEntryOfACabinetIsAPartialFile) {
  const auto set = store({makeFile("x", noiseData(70000, 1))}, spanning(30000));
  ASSERT_EQ(set.size(), 3u);
  ASSERT_EQ(copy("set3.cab"), 1);
  EXPECT_EQ(kinds(), (std::vector<int32_t>{CAB_NOTIFY_CABINET_INFO, CAB_NOTIFY_PARTIAL_FILE}));
  EXPECT_FALSE(wasExtracted("x"));
}

TEST_F(SpanningTest, AMissingNextCabinetIsAskedForAgainUntilTheCallerGivesUp) {
  store({makeFile("big", noiseData(60000, 1))}, spanning(45000));
  files().files.erase("set2.cab");
  int asked = 0;
  answer = [&asked](int32_t kind, CabinetNotification&) -> std::optional<int32_t> {
    if (kind != CAB_NOTIFY_NEXT_CABINET) return std::nullopt;
    return ++asked < 4 ? 0 : -1;
  };
  EXPECT_EQ(copy("set.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_USER_ABORT);
  std::vector<int32_t> errors;
  for (const NotifyEvent& event : events)
    if (event.kind == CAB_NOTIFY_NEXT_CABINET) errors.push_back(event.error);
  EXPECT_EQ(errors,
            (std::vector<int32_t>{0, CAB_ERROR_CABINET_NOT_FOUND, CAB_ERROR_CABINET_NOT_FOUND,
                                  CAB_ERROR_CABINET_NOT_FOUND}));
}

TEST_F(SpanningTest, TheCallerMayPointToAnotherFolderForTheNextCabinet) {
  store({makeFile("big", noiseData(60000, 1))}, spanning(45000));
  files().files["disk2\\set2.cab"] = cabinetBytes("set2.cab");
  files().files.erase("set2.cab");
  answer = [](int32_t kind, CabinetNotification& n) -> std::optional<int32_t> {
    if (kind != CAB_NOTIFY_NEXT_CABINET || n.error != 0) return std::nullopt;
    std::snprintf(n.text3, 257, "disk2\\");
    return 0;
  };
  ASSERT_EQ(copy("set.cab"), 1) << error.code;
  EXPECT_EQ(extracted("big"), noiseData(60000, 1));
}

TEST_F(SpanningTest, ACabinetOfAnotherSetIsTheWrongCabinet) {
  store({makeFile("big", noiseData(60000, 1))}, spanning(45000));
  putU16(cabinetBytes("set2.cab"), 32, 0x1111);
  EXPECT_EQ(copy("set.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_USER_ABORT);
  EXPECT_EQ(events.back().kind, CAB_NOTIFY_NEXT_CABINET);
  EXPECT_EQ(events.back().error, CAB_ERROR_WRONG_CABINET);
}

TEST_F(SpanningTest, ACabinetWithTheWrongIndexIsTheWrongCabinet) {
  store({makeFile("big", noiseData(60000, 1))}, spanning(45000));
  putU16(cabinetBytes("set2.cab"), 34, 5);
  EXPECT_EQ(copy("set.cab"), 0);
  EXPECT_EQ(events.back().error, CAB_ERROR_WRONG_CABINET);
}

TEST_F(SpanningTest, ANextCabinetWithOtherDataReserveIsAMismatch) {
  WriterOptions options = spanning(45000);
  options.dataReserve = 4;
  store({makeFile("big", noiseData(60000, 1))}, options);
  options.dataReserve = 8;
  const std::vector<uint8_t> first = cabinetBytes("set.cab");
  store({makeFile("big", noiseData(60000, 1))}, options);
  cabinetBytes("set.cab") = first;
  EXPECT_EQ(copy("set.cab"), 0);
  EXPECT_EQ(events.back().error, CAB_ERROR_RESERVE_MISMATCH);
}

TEST_F(SpanningTest, AContinuedFolderMustKeepItsCompressionType) {
  store({makeFile("big", noiseData(60000, 1))}, spanning(45000));
  std::vector<uint8_t>& second = cabinetBytes("set2.cab");
  // set2.cab names its previous cabinet: find its folder entry after the names.
  const std::size_t folderTable = getU32(second, 16) - 8;
  putU16(second, folderTable + 6, 0x0001);
  EXPECT_EQ(copy("set.cab"), 0);
  EXPECT_EQ(events.back().error, CAB_ERROR_CORRUPT_CABINET);
}

TEST_F(SpanningTest, DataThatRunsOutWithoutANextCabinetIsCorrupt) {
  WriterOptions options;
  options.compression = Compression::Stored;
  store({makeFile("big", noiseData(60000, 1))}, options);
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  putU32(bytes, firstFileEntry(bytes), 70000);
  error = {};
  EXPECT_EQ(copy("test.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_CORRUPT_CABINET);
  for (const NotifyEvent& event : events) EXPECT_NE(event.kind, CAB_NOTIFY_NEXT_CABINET);
}

TEST_F(SpanningTest, ManyCabinetsRoundTripWithinTheirMaximumSize) {
  std::vector<cabwriter::WriterFile> input;
  for (int i = 0; i < 12; ++i)
    input.push_back(makeFile("f" + std::to_string(i), noiseData(i * 6000, i)));
  const auto set = store(input, spanning(40000));
  ASSERT_GE(set.size(), 10u);
  for (const auto& cabinet : set) EXPECT_LE(cabinet.bytes.size(), 40000u) << cabinet.name;
  copyWholeSet(set);
  for (const auto& file : input) EXPECT_EQ(extracted(file.name), file.data) << file.name;
}

// A block is split once at most, so cabinets smaller than a block overflow;
// the set still reads back.
TEST_F(SpanningTest, CabinetsSmallerThanABlockStillRoundTrip) {
  std::vector<cabwriter::WriterFile> input;
  for (int i = 0; i < 6; ++i)
    input.push_back(makeFile("f" + std::to_string(i), noiseData(i * 9000, i)));
  const auto set = store(input, spanning(5000));
  ASSERT_GT(set.size(), 5u);
  copyWholeSet(set);
  for (const auto& file : input) EXPECT_EQ(extracted(file.name), file.data) << file.name;
}

TEST_F(SpanningTest, AFailingCloseBeforeTheMoveIsCorrupt) {
  store({makeFile("big", noiseData(60000, 1))}, spanning(45000));
  files().failingCloseHandle = files().nextHandle + 1;  // the data handle of set.cab
  EXPECT_EQ(copy("set.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_CORRUPT_CABINET);
  EXPECT_NE(kinds().back(), CAB_NOTIFY_NEXT_CABINET);
}

TEST_F(SpanningTest, TheInfoRecordTellsWhereACabinetSitsInItsSet) {
  const auto set = store({makeFile("x", noiseData(70000, 1))}, spanning(30000));
  ASSERT_EQ(set.size(), 3u);
  const int32_t handle = memoryOpen("set2.cab", 0x8000, 0);
  CabinetInfo info{};
  ASSERT_EQ(cabinetIsCabinet(context, handle, &info), 1);
  memoryClose(handle);
  EXPECT_EQ(info.cabinetIndex, 1);
  EXPECT_EQ(info.hasPrevious, 1);
  EXPECT_EQ(info.hasNext, 2);
  EXPECT_EQ(info.hasReserve, 0);
}

// The hook is shown a split block from its first byte, so that rewriting
// compressedSize bytes at data never runs past the input buffer.
TEST_F(SpanningTest, AHookMayRewriteAWholeSplitBlockInPlace) {
  static std::vector<uint16_t> partials;
  partials.clear();
  const auto hook = [](CabinetHookInfo* info) -> int32_t {
    if (info->kind != CAB_HOOK_DATA_BLOCK) return 0;
    partials.push_back(info->u.block.partialSize);
    if (info->u.block.partialSize != 0)  // the second part: rewrite the joined block
      std::memset(info->u.block.data, 'Z', info->u.block.compressedSize);
    return 0;
  };
  const std::vector<uint8_t> data = noiseData(65536, 1);
  store({makeFile("all", data)}, spanning(45000));
  ASSERT_EQ(copy("set.cab", hook), 1) << error.code;
  ASSERT_EQ(partials.size(), 3u);
  EXPECT_GT(partials[2], 0);
  std::vector<uint8_t> expected = data;
  std::fill(expected.begin() + 32768, expected.end(), 'Z');
  EXPECT_EQ(extracted("all"), expected);
}

}  // namespace
}  // namespace ks::test
