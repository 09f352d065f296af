// MSZIP and Quantum folders through the reader: round trips over data shapes,
// decoder reuse across folders and cabinets, and broken compressed blocks.

#include "tests/unit/cabinet/reader_fixture.h"

namespace ks::test {
namespace {

using cabwriter::Compression;
using cabwriter::WriterOptions;

struct CompressionCase {
  Compression compression;
  int windowBits;
};

std::string caseName(const ::testing::TestParamInfo<CompressionCase>& info) {
  switch (info.param.compression) {
    case Compression::Mszip:
      return "Mszip";
    case Compression::Quantum:
      return "Quantum" + std::to_string(info.param.windowBits);
    default:
      return "Stored";
  }
}

class CompressedReaderTest : public CabinetReaderTest,
                             public ::testing::WithParamInterface<CompressionCase> {
 protected:
  WriterOptions options() const {
    WriterOptions o;
    o.compression = GetParam().compression;
    o.quantumWindowBits = GetParam().windowBits;
    return o;
  }
};

TEST_P(CompressedReaderTest, DataShapesRoundTrip) {
  std::vector<uint8_t> runs(100000, 'a');
  for (std::size_t i = 0; i < runs.size(); i += 997) runs[i] = static_cast<uint8_t>(i);
  const std::vector<cabwriter::WriterFile> input = {makeFile("empty", {}),
                                                    makeFile("tiny", textData(3)),
                                                    makeFile("block", textData(32768, 2)),
                                                    makeFile("text", textData(200000, 3)),
                                                    makeFile("noise", noiseData(70000, 4)),
                                                    makeFile("runs", runs)};
  store(input, options());
  ASSERT_EQ(copy("test.cab"), 1) << error.code;
  for (const auto& file : input) EXPECT_EQ(extracted(file.name), file.data) << file.name;
}

TEST_P(CompressedReaderTest, SeveralFoldersShareOneDecoder) {
  WriterOptions o = options();
  o.filesPerFolder = 1;
  const std::vector<cabwriter::WriterFile> input = {makeFile("a", textData(50000, 1)),
                                                    makeFile("b", textData(40000, 2)),
                                                    makeFile("c", noiseData(10000, 3))};
  store(input, o);
  ASSERT_EQ(copy("test.cab"), 1) << error.code;
  for (const auto& file : input) EXPECT_EQ(extracted(file.name), file.data) << file.name;
}

TEST_P(CompressedReaderTest, ASpanningSetRoundTrips) {
  WriterOptions o = options();
  o.maxCabinetSize = 40000;
  o.cabinetName = "set.cab";
  const std::vector<cabwriter::WriterFile> input = {makeFile("a", noiseData(60000, 1)),
                                                    makeFile("b", textData(300000, 2)),
                                                    makeFile("c", noiseData(45000, 3))};
  const auto set = store(input, o);
  ASSERT_GE(set.size(), 3u);
  for (const auto& cabinet : set) ASSERT_EQ(copy(cabinet.name), 1) << cabinet.name << error.code;
  for (const auto& file : input) EXPECT_EQ(extracted(file.name), file.data) << file.name;
}

TEST_P(CompressedReaderTest, GarbageInABlockFailsCleanly) {
  store({makeFile("a", textData(100000))}, options());
  std::vector<uint8_t>& bytes = cabinetBytes("test.cab");
  const std::size_t block = firstDataBlock(bytes);
  putU32(bytes, block, 0);  // no checksum: the decoder meets the garbage
  for (std::size_t i = block + 8 + 2; i < block + 8 + 200 && i < bytes.size(); ++i) bytes[i] = 0xFF;
  EXPECT_EQ(copy("test.cab"), 0);
  EXPECT_EQ(error.code, CAB_ERROR_DECOMPRESSION_FAILED);
}

INSTANTIATE_TEST_SUITE_P(Compressions, CompressedReaderTest,
                         ::testing::Values(CompressionCase{Compression::Mszip, 0},
                                           CompressionCase{Compression::Quantum, 10},
                                           CompressionCase{Compression::Quantum, 15},
                                           CompressionCase{Compression::Quantum, 21}),
                         caseName);

TEST_F(CabinetReaderTest, FoldersOfDifferentTypesInOneCabinet) {
  WriterOptions o;
  o.compression = Compression::Mszip;
  store({makeFile("m", textData(50000, 1))}, o);
  // Same data again as a stored folder, then the MSZIP type restored: the
  // reader replaces the decoder at each change of type.
  o.compression = Compression::Stored;
  o.filesPerFolder = 1;
  o.cabinetName = "mixed.cab";
  store({makeFile("s1", textData(40000, 2)), makeFile("s2", textData(40000, 3))}, o);
  ASSERT_EQ(copy("mixed.cab"), 1);
  ASSERT_EQ(copy("test.cab"), 1) << error.code;
  ASSERT_EQ(copy("mixed.cab"), 1);
  EXPECT_EQ(extracted("m"), textData(50000, 1));
  EXPECT_EQ(extracted("s2"), textData(40000, 3));
}

TEST_F(CabinetReaderTest, AFailedDecoderAllocationIsOutOfMemoryAndLeaksNothing) {
  WriterOptions o;
  o.compression = Compression::Mszip;
  store({makeFile("m", textData(50000, 1))}, o);
  bool sawFailure = false;
  for (long failing = 0; failing < 20; ++failing) {
    files().failAllocation = failing;
    files().allocations = 0;
    error = {};
    const int32_t result = copy("test.cab");
    if (result == 1) break;
    sawFailure = true;
    EXPECT_EQ(error.code, CAB_ERROR_OUT_OF_MEMORY) << failing;
  }
  EXPECT_TRUE(sawFailure);
  EXPECT_EQ(extracted("m"), textData(50000, 1));
}

}  // namespace
}  // namespace ks::test
