// Reserve areas and the block hook: what the hook is shown, that it may
// rewrite data in place, and that -1 from it aborts.

#include <cstring>

#include "tests/unit/cabinet/reader_fixture.h"

namespace ks::test {
namespace {

using cabwriter::Compression;
using cabwriter::WriterOptions;

struct HookCall {
  int32_t kind;
  intptr_t userValue;
  std::vector<uint8_t> reserve;
  bool reserveNull;
  uint16_t reserveSize;
  uint16_t index;  // cabinet or folder index
  uint16_t compressedSize;
  int32_t split;
  uint16_t partialSize;
};

std::vector<HookCall> hookCalls;
int32_t abortOnHookKind = -2;
bool rewriteData = false;

int32_t recordingHook(CabinetHookInfo* info) {
  HookCall call{};
  call.kind = info->kind;
  call.userValue = info->userValue;
  const uint8_t* reserve = nullptr;
  switch (info->kind) {
    case CAB_HOOK_NEW_CABINET:
      reserve = info->u.cabinet.headerReserve;
      call.reserveSize = info->u.cabinet.headerReserveSize;
      call.index = static_cast<uint16_t>(info->u.cabinet.cabinetIndex);
      break;
    case CAB_HOOK_NEW_FOLDER:
      reserve = info->u.folder.folderReserve;
      call.reserveSize = info->u.folder.folderReserveSize;
      call.index = info->u.folder.folderIndex;
      break;
    default:
      reserve = info->u.block.dataReserve;
      call.reserveSize = info->u.block.dataReserveSize;
      call.compressedSize = info->u.block.compressedSize;
      call.split = info->u.block.split;
      call.partialSize = info->u.block.partialSize;
      if (rewriteData) std::memset(info->u.block.data, 'Z', info->u.block.compressedSize);
      break;
  }
  call.reserveNull = reserve == nullptr;
  if (reserve != nullptr && call.reserveSize != 0xFFFF)
    call.reserve.assign(reserve, reserve + call.reserveSize);
  hookCalls.push_back(call);
  return info->kind == abortOnHookKind ? -1 : 0;
}

class BlockHookTest : public CabinetReaderTest {
 protected:
  void SetUp() override {
    CabinetReaderTest::SetUp();
    hookCalls.clear();
    abortOnHookKind = -2;
    rewriteData = false;
  }
  WriterOptions reserved() {
    WriterOptions options;
    options.compression = Compression::Stored;
    options.headerReserve = 6;
    options.folderReserve = 3;
    options.dataReserve = 2;
    return options;
  }
};

TEST_F(BlockHookTest, TheHookSeesEveryReserveAreaInOrder) {
  store({makeFile("a", textData(40000))}, reserved());
  ASSERT_EQ(copy("test.cab", recordingHook, 99), 1) << error.code;
  ASSERT_EQ(hookCalls.size(), 4u);
  EXPECT_EQ(hookCalls[0].kind, CAB_HOOK_NEW_CABINET);
  EXPECT_EQ(hookCalls[0].reserve, std::vector<uint8_t>(6, 'H'));
  EXPECT_EQ(hookCalls[1].kind, CAB_HOOK_NEW_FOLDER);
  EXPECT_EQ(hookCalls[1].reserve, std::vector<uint8_t>(3, 'F'));
  EXPECT_EQ(hookCalls[1].index, 0);
  EXPECT_EQ(hookCalls[2].kind, CAB_HOOK_DATA_BLOCK);
  EXPECT_EQ(hookCalls[2].reserve, std::vector<uint8_t>(2, 'D'));
  EXPECT_EQ(hookCalls[2].compressedSize, 32768);
  EXPECT_EQ(hookCalls[2].split, 0);
  EXPECT_EQ(hookCalls[3].compressedSize, 40000 - 32768);
  for (const HookCall& call : hookCalls) EXPECT_EQ(call.userValue, 99);
  EXPECT_EQ(extracted("a"), textData(40000));
}

TEST_F(BlockHookTest, WithoutReserveFieldsTheAreasAreNullAndTheHeaderSizeUnset) {
  WriterOptions options;
  options.compression = Compression::Stored;
  store({makeFile("a", textData(100))}, options);
  ASSERT_EQ(copy("test.cab", recordingHook), 1);
  ASSERT_EQ(hookCalls.size(), 3u);
  EXPECT_TRUE(hookCalls[0].reserveNull);
  EXPECT_EQ(hookCalls[0].reserveSize, 0xFFFF);
  EXPECT_TRUE(hookCalls[1].reserveNull);
  EXPECT_EQ(hookCalls[1].reserveSize, 0);
  EXPECT_TRUE(hookCalls[2].reserveNull);
}

TEST_F(BlockHookTest, TheHookMayRewriteTheBytesBeforeTheyAreDecoded) {
  store({makeFile("a", textData(100))}, reserved());
  rewriteData = true;
  ASSERT_EQ(copy("test.cab", recordingHook), 1);
  EXPECT_EQ(extracted("a"), std::vector<uint8_t>(100, 'Z'));
}

TEST_F(BlockHookTest, MinusOneFromTheHookAbortsAtEachKind) {
  for (int32_t kind : {CAB_HOOK_NEW_CABINET, CAB_HOOK_NEW_FOLDER, CAB_HOOK_DATA_BLOCK}) {
    store({makeFile("a", textData(100))}, reserved());
    abortOnHookKind = kind;
    error = {};
    EXPECT_EQ(copy("test.cab", recordingHook), 0);
    EXPECT_EQ(error.code, CAB_ERROR_USER_ABORT);
    EXPECT_FALSE(wasExtracted("a") && !extracted("a").empty());
  }
}

TEST_F(BlockHookTest, ReserveAreasAreSkippedWithoutAHook) {
  WriterOptions options = reserved();
  options.headerReserve = 60000;
  options.folderReserve = 255;
  options.dataReserve = 255;
  options.filesPerFolder = 1;
  const std::vector<uint8_t> a = noiseData(50000, 1);
  const std::vector<uint8_t> b = textData(70000, 2);
  store({makeFile("a", a), makeFile("b", b)}, options);
  ASSERT_EQ(copy("test.cab"), 1) << error.code;
  EXPECT_EQ(extracted("a"), a);
  EXPECT_EQ(extracted("b"), b);
}

TEST_F(BlockHookTest, ReserveFieldsWithZeroSizesAreAccepted) {
  WriterOptions options;
  options.compression = Compression::Stored;
  options.reserveFields = true;
  store({makeFile("a", textData(100))}, options);
  ASSERT_EQ(copy("test.cab", recordingHook), 1);
  EXPECT_EQ(hookCalls[0].reserveSize, 0);
  EXPECT_EQ(extracted("a"), textData(100));
}

// 0xFFFF is both a valid header reserve size and the "not yet read" mark.
TEST_F(BlockHookTest, AHeaderReserveOf65535BytesIsReadOnceAndKept) {
  WriterOptions options = reserved();
  options.headerReserve = 0xFFFF;
  store({makeFile("a", textData(100))}, options);
  ASSERT_EQ(copy("test.cab", recordingHook), 1) << error.code;
  ASSERT_EQ(copy("test.cab", recordingHook), 1) << error.code;
  EXPECT_EQ(hookCalls[0].reserveSize, 0xFFFF);
  EXPECT_FALSE(hookCalls[0].reserveNull);
  EXPECT_EQ(extracted("a"), textData(100));
}

}  // namespace
}  // namespace ks::test
