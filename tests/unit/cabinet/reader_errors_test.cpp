// Every failure of the reader: its error code, what was written, and that the
// context stays usable with nothing leaked or left open.

#include "tests/unit/cabinet/reader_fixture.h"

namespace ks::test {
namespace {

using cabwriter::Compression;
using cabwriter::WriterOptions;

WriterOptions stored(bool checksums = true) {
  WriterOptions options;
  options.compression = Compression::Stored;
  options.checksums = checksums;
  return options;
}

class ReaderErrorTest : public CabinetReaderTest {
 protected:
  void expectFailure(const std::string& name, int32_t code) {
    error = {};
    EXPECT_EQ(copy(name), 0);
    EXPECT_EQ(error.code, code);
    EXPECT_EQ(error.failed, 1);
  }
};

TEST_F(ReaderErrorTest, AMissingCabinetIsNotFound) {
  expectFailure("nowhere.cab", CAB_ERROR_CABINET_NOT_FOUND);
}

TEST_F(ReaderErrorTest, PathAndNameBeyond256CharactersAreNotFoundWithoutOverflow) {
  const std::string path(200, 'p');
  const std::string name(57, 'n');
  files().files[path + name] = {};
  error = {};
  EXPECT_EQ(cabinetCopy(context, name.c_str(), path.c_str(), 0, notify, nullptr, 0), 0);
  EXPECT_EQ(error.code, CAB_ERROR_CABINET_NOT_FOUND);
  const std::string longPath(300, 'p');
  EXPECT_EQ(cabinetCopy(context, "a.cab", longPath.c_str(), 0, notify, nullptr, 0), 0);
  EXPECT_EQ(error.code, CAB_ERROR_CABINET_NOT_FOUND);
}

TEST_F(ReaderErrorTest, AWrongSignatureIsNotACabinet) {
  store({makeFile("a", textData(10))}, stored());
  cabinetBytes("test.cab")[0] = 'X';
  expectFailure("test.cab", CAB_ERROR_NOT_A_CABINET);
}

TEST_F(ReaderErrorTest, ABadChecksumIsCorruptAndAZeroChecksumIsNotVerified) {
  store({makeFile("a", textData(1000))}, stored());
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  bytes[firstDataBlock(bytes) + 8 + 10] ^= 0x55;
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);

  store({makeFile("a", textData(1000))}, stored(false));
  std::vector<uint8_t>& unverified = cabinetBytes("test.cab");
  unverified[firstDataBlock(unverified) + 8 + 10] ^= 0x55;
  ASSERT_EQ(copy("test.cab"), 1);
  std::vector<uint8_t> expected = textData(1000);
  expected[10] ^= 0x55;
  EXPECT_EQ(extracted("a"), expected);
}

TEST_F(ReaderErrorTest, AChecksumCoversTheBlockHeaderToo) {
  store({makeFile("a", textData(1000))}, stored());
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  const std::size_t block = firstDataBlock(bytes);
  putU16(bytes, block + 6, 999);  // cbUncomp changed, checksum kept
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);
}

TEST_F(ReaderErrorTest, ABlockLargerThanTheInputBufferIsCorrupt) {
  store({makeFile("a", textData(40000))}, stored(false));
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  putU16(bytes, firstDataBlock(bytes) + 4, 32769);
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);
}

TEST_F(ReaderErrorTest, AStoredBlockWhoseSizesDisagreeFailsToDecode) {
  store({makeFile("a", textData(1000))}, stored(false));
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  putU16(bytes, firstDataBlock(bytes) + 6, 999);
  expectFailure("test.cab", CAB_ERROR_DECOMPRESSION_FAILED);
}

TEST_F(ReaderErrorTest, AnLzxFolderIsRejectedWhenItsFirstFileIsExtracted) {
  WriterOptions options = stored();
  options.filesPerFolder = 1;
  store({makeFile("first", textData(100, 1)), makeFile("lzx", textData(100, 2))}, options);
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  putU16(bytes, kFirstFolderEntry + 8 + 6, 0x1503);  // LZX, 21-bit window
  expectFailure("test.cab", CAB_ERROR_BAD_COMPRESSION_TYPE);
  EXPECT_EQ(extracted("first"), textData(100, 1));
}

TEST_F(ReaderErrorTest, LowBits15AreRejectedLikeAnyUnsupportedType) {
  store({makeFile("a", textData(100))}, stored());
  putU16(cabinetBytes("test.cab"), kFirstFolderEntry + 6, 0x000F);
  expectFailure("test.cab", CAB_ERROR_BAD_COMPRESSION_TYPE);
}

TEST_F(ReaderErrorTest, AQuantumWindowOutOfRangeFailsToCreateTheDecoder) {
  store({makeFile("a", textData(100))}, stored());
  putU16(cabinetBytes("test.cab"), kFirstFolderEntry + 6, 0x0902);  // 9 window bits
  expectFailure("test.cab", CAB_ERROR_DECOMPRESSION_FAILED);
}

TEST_F(ReaderErrorTest, AFileEntryNamingAMissingFolderIsCorrupt) {
  store({makeFile("a", textData(100))}, stored());
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  putU16(bytes, firstFileEntry(bytes) + 8, 5);
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);
}

TEST_F(ReaderErrorTest, AFileBeyondTheFolderDataIsCorrupt) {
  store({makeFile("a", textData(100))}, stored());
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  putU32(bytes, firstFileEntry(bytes), 5000);
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);
}

// The reader decodes forward only: an entry that starts before the block in
// hand is refused instead of served from stale buffer contents.
TEST_F(ReaderErrorTest, EntriesOutOfFolderOrderAreCorrupt) {
  store({makeFile("late", noiseData(40000, 1)), makeFile("early", noiseData(40000, 2))}, stored());
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  const std::size_t second = firstFileEntry(bytes) + 16 + 5;
  putU32(bytes, firstFileEntry(bytes) + 4, 40000);  // "late" reads the second file's bytes
  putU32(bytes, second + 4, 0);                     // "early" then asks for offset 0
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);
  EXPECT_EQ(extracted("late"), noiseData(40000, 2));
}

TEST_F(ReaderErrorTest, ANameOf255CharactersIsAcceptedAnd256AreCorrupt) {
  const std::string longest(255, 'n');
  store({makeFile(longest, textData(10))}, stored());
  ASSERT_EQ(copy("test.cab"), 1);
  EXPECT_EQ(extracted(longest), textData(10));

  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  const std::size_t nul = firstFileEntry(bytes) + 16 + 255;
  ASSERT_EQ(bytes[nul], 0);
  bytes.insert(bytes.begin() + static_cast<long>(nul), 'n');
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);
}

TEST_F(ReaderErrorTest, ANameRunningIntoTheEndOfTheFileIsCorrupt) {
  store({makeFile("abc", {})}, stored());
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  ASSERT_EQ(bytes.back(), 0);  // the name is the last thing in the cabinet
  bytes.pop_back();
  expectFailure("test.cab", CAB_ERROR_CORRUPT_CABINET);
}

TEST_F(ReaderErrorTest, EveryTruncationFailsCleanly) {
  WriterOptions options = stored();
  options.filesPerFolder = 1;
  store({makeFile("a.txt", textData(70000, 1)), makeFile("b.txt", textData(10, 2))}, options);
  const std::vector<uint8_t> whole = cabinetBytes("test.cab");
  for (std::size_t length = 0; length < whole.size(); length += length < 300 ? 1 : 997) {
    cabinetBytes("test.cab").assign(whole.begin(), whole.begin() + static_cast<long>(length));
    error = {};
    EXPECT_EQ(copy("test.cab"), 0) << length;
    EXPECT_TRUE(error.code == CAB_ERROR_NOT_A_CABINET || error.code == CAB_ERROR_CORRUPT_CABINET)
        << length << ": " << error.code;
    EXPECT_TRUE(files().open.empty()) << length;
  }
}

TEST_F(ReaderErrorTest, AShortWriteIsATargetFileErrorAndTheOutputIsClosed) {
  store({makeFile("a", textData(100))}, stored());
  answer = [this](int32_t kind, CabinetNotification& n) -> std::optional<int32_t> {
    if (kind != CAB_NOTIFY_COPY_FILE) return std::nullopt;
    files().shortWriteHandle = files().createFile(std::string("out\\") + n.text1);
    return files().shortWriteHandle;
  };
  expectFailure("test.cab", CAB_ERROR_TARGET_FILE);
  EXPECT_EQ(kinds().back(), CAB_NOTIFY_COPY_FILE);
}

TEST_F(ReaderErrorTest, CloseAnsweredWithZeroIsATargetFileError) {
  store({makeFile("a", textData(100))}, stored());
  answer = [](int32_t kind, CabinetNotification& n) -> std::optional<int32_t> {
    if (kind != CAB_NOTIFY_CLOSE_FILE) return std::nullopt;
    memoryClose(n.fileHandle);
    return 0;
  };
  expectFailure("test.cab", CAB_ERROR_TARGET_FILE);
}

class ReaderAbortTest : public ReaderErrorTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(ReaderAbortTest, MinusOneFromANotificationAbortsTheCopy) {
  WriterOptions options = stored();
  store({makeFile("a", textData(100)), makeFile("b", textData(100))}, options);
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  if (GetParam() == CAB_NOTIFY_PARTIAL_FILE) putU16(bytes, firstFileEntry(bytes) + 8, 0xFFFD);
  const int32_t abortOn = GetParam();
  answer = [abortOn](int32_t kind, CabinetNotification&) -> std::optional<int32_t> {
    if (kind == abortOn) return -1;
    return std::nullopt;
  };
  expectFailure("test.cab", CAB_ERROR_USER_ABORT);
  EXPECT_EQ(kinds().back(), abortOn);
  EXPECT_FALSE(wasExtracted("b"));
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ReaderAbortTest,
                         ::testing::Values(CAB_NOTIFY_CABINET_INFO, CAB_NOTIFY_PARTIAL_FILE,
                                           CAB_NOTIFY_COPY_FILE, CAB_NOTIFY_CLOSE_FILE));

TEST_F(ReaderErrorTest, EveryFailedAllocationIsOutOfMemoryAndLeaksNothing) {
  store({makeFile("a", textData(100))}, stored());
  cabinetDestroy(context);
  context = nullptr;
  for (long failing = 0;; ++failing) {
    files().failAllocation = failing;
    files().allocations = 0;
    error = {};
    context = createMemoryCabinetDecoder(&error);
    const int32_t result = context == nullptr ? 0 : copy("test.cab");
    if (context != nullptr) cabinetDestroy(context);
    context = nullptr;
    EXPECT_EQ(files().liveAllocations, 0) << failing;
    if (result == 1) break;
    EXPECT_EQ(error.code, CAB_ERROR_OUT_OF_MEMORY) << failing;
    ASSERT_LT(failing, 20);
  }
}

}  // namespace
}  // namespace ks::test
