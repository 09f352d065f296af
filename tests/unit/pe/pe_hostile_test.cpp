// The PE reader against damaged and hostile files: it must refuse them
// without reading outside the file, looping or allocating without bound.

#include <gtest/gtest.h>

#include <vector>

#include "platform/pe/pe_resources.h"
#include "tests/unit/pe/synthetic_pe.h"

namespace ks::pe {
namespace {

using test::makeSyntheticPe;
using test::SyntheticPe;

const std::vector<std::uint8_t> kPayload = {'v', 'e', 'r', 's', 'i', 'o', 'n', '!'};

bool readVersion(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& block) {
  MemorySource source(bytes);
  return readVersionResource(source, block);
}

class HostilePe : public ::testing::TestWithParam<bool> {
 protected:
  SyntheticPe pe = makeSyntheticPe(GetParam(), kResourceVersion, kPayload);
  std::vector<std::uint8_t> block;
};

TEST_P(HostilePe, TheIntactFileYieldsItsResource) {
  ASSERT_TRUE(readVersion(pe.bytes, block));
  EXPECT_EQ(block, kPayload);
  MemorySource source(pe.bytes);
  PeImage image;
  ASSERT_TRUE(parsePeImage(source, image));
  EXPECT_EQ(image.is64Bit, GetParam());
}

TEST_P(HostilePe, EveryTruncationIsRefused) {
  for (std::size_t size = 0; size < pe.bytes.size(); ++size) {
    const std::vector<std::uint8_t> cut(pe.bytes.begin(), pe.bytes.begin() + size);
    EXPECT_FALSE(readVersion(cut, block)) << "cut at " << size;
  }
}

TEST_P(HostilePe, HeadersPointingPastTheEndAreRefused) {
  for (std::uint32_t offset : {0xFFFFFFFFu, 0xFFFFFFF0u, 0x7FFFFFFFu, 0x10000u}) {
    SyntheticPe spoiled = pe;
    spoiled.put32(spoiled.peOffsetField, offset);
    EXPECT_FALSE(readVersion(spoiled.bytes, block)) << offset;
  }
  SyntheticPe rawPastEnd = pe;
  rawPastEnd.put32(rawPastEnd.sectionHeader + 20, 0xFFFFFF00u);
  EXPECT_FALSE(readVersion(rawPastEnd.bytes, block));
  SyntheticPe rawSizeTooLarge = pe;
  rawSizeTooLarge.put32(rawSizeTooLarge.sectionHeader + 16, 0xFFFFFFFFu);
  rawSizeTooLarge.put32(rawSizeTooLarge.sectionHeader + 8, 0xFFFFFFFFu);
  rawSizeTooLarge.put32(rawSizeTooLarge.resourceSection + rawSizeTooLarge.dataEntry + 4, 0x10000u);
  EXPECT_FALSE(readVersion(rawSizeTooLarge.bytes, block));
}

TEST_P(HostilePe, AddressesOutsideEverySectionAreRefused) {
  SyntheticPe rootOutside = pe;
  rootOutside.put32(rootOutside.resourceDirectoryField, 0x5000);
  EXPECT_FALSE(readVersion(rootOutside.bytes, block));
  SyntheticPe rootAtTheTop = pe;
  rootAtTheTop.put32(rootAtTheTop.resourceDirectoryField, 0xFFFFFFF8u);
  EXPECT_FALSE(readVersion(rootAtTheTop.bytes, block));
  SyntheticPe dataOutside = pe;
  dataOutside.put32(dataOutside.resourceSection + dataOutside.dataEntry, 0xFFFFFFFCu);
  EXPECT_FALSE(readVersion(dataOutside.bytes, block));
  SyntheticPe dataRunsOver = pe;
  dataRunsOver.put32(dataRunsOver.resourceSection + dataRunsOver.dataEntry + 4, 9);
  EXPECT_FALSE(readVersion(dataRunsOver.bytes, block));
  SyntheticPe directoryFarAway = pe;
  directoryFarAway.put32(directoryFarAway.resourceSection + 20, 0xFFFFFFF0u);
  EXPECT_FALSE(readVersion(directoryFarAway.bytes, block));
}

TEST_P(HostilePe, DirectoriesPointingBackDoNotLoop) {
  SyntheticPe selfLoop = pe;
  selfLoop.put32(selfLoop.resourceSection + 20, 0x80000000u | selfLoop.typeDirectory);
  EXPECT_FALSE(readVersion(selfLoop.bytes, block));
  SyntheticPe backToRoot = pe;
  backToRoot.put32(backToRoot.resourceSection + backToRoot.languageDirectory + 20,
                   0x80000000u | backToRoot.typeDirectory);
  EXPECT_FALSE(readVersion(backToRoot.bytes, block));
}

TEST_P(HostilePe, HugeCountsAreBounded) {
  SyntheticPe manyEntries = pe;
  manyEntries.put16(manyEntries.resourceSection + 12, 0xFFFF);
  manyEntries.put16(manyEntries.resourceSection + 14, 0xFFFF);
  manyEntries.put32(manyEntries.resourceSection + 16, 99);  // not the version type
  EXPECT_FALSE(readVersion(manyEntries.bytes, block));
  SyntheticPe manySections = pe;
  manySections.put16(manySections.sectionCountField, 0xFFFF);
  EXPECT_FALSE(readVersion(manySections.bytes, block));
  SyntheticPe manyDirectories = pe;
  manyDirectories.put32(manyDirectories.directoryCountField, 0xFFFFFFFFu);
  EXPECT_TRUE(readVersion(manyDirectories.bytes, block));  // the loader reads 16 at most
  SyntheticPe noResourceDirectory = pe;
  noResourceDirectory.put32(noResourceDirectory.directoryCountField, 2);
  EXPECT_FALSE(readVersion(noResourceDirectory.bytes, block));
}

TEST_P(HostilePe, OversizedVersionResourcesAreRefused) {
  const SyntheticPe largest =
      makeSyntheticPe(GetParam(), kResourceVersion, std::vector<std::uint8_t>(0xFFFF, 7));
  EXPECT_TRUE(readVersion(largest.bytes, block));
  EXPECT_EQ(block.size(), 0xFFFFu);
  const SyntheticPe tooLarge =
      makeSyntheticPe(GetParam(), kResourceVersion, std::vector<std::uint8_t>(0x10000, 7));
  EXPECT_FALSE(readVersion(tooLarge.bytes, block));
  const SyntheticPe empty = makeSyntheticPe(GetParam(), kResourceVersion, {});
  EXPECT_FALSE(readVersion(empty.bytes, block));
}

TEST_P(HostilePe, SignaturesAndOptionalHeaderAreChecked) {
  SyntheticPe noMz = pe;
  noMz.bytes[1] = 'X';
  EXPECT_FALSE(readVersion(noMz.bytes, block));
  SyntheticPe noPe = pe;
  noPe.bytes[0x42] = 1;
  EXPECT_FALSE(readVersion(noPe.bytes, block));
  SyntheticPe romImage = pe;
  romImage.put16(romImage.optionalSizeField + 4, 0x107);
  EXPECT_FALSE(readVersion(romImage.bytes, block));
  SyntheticPe shortOptional = pe;
  shortOptional.put16(shortOptional.optionalSizeField, 8);
  EXPECT_FALSE(readVersion(shortOptional.bytes, block));
}

TEST_P(HostilePe, OnlyTheAskedTypeIsFound) {
  const SyntheticPe icons = makeSyntheticPe(GetParam(), kResourceGroupIcon, kPayload);
  EXPECT_FALSE(readVersion(icons.bytes, block));
  MemorySource source(icons.bytes);
  PeImage image;
  ASSERT_TRUE(parsePeImage(source, image));
  ResourceLocation location;
  ASSERT_TRUE(findResource(source, image, kResourceGroupIcon, 1, location));
  EXPECT_EQ(location.size, kPayload.size());
  EXPECT_FALSE(findResource(source, image, kResourceGroupIcon, 2, location));
  EXPECT_FALSE(findResource(source, image, 0x80000000u | kResourceGroupIcon, {}, location));
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, HostilePe, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

}  // namespace
}  // namespace ks::pe
