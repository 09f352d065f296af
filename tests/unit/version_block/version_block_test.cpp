#include "catalog/version_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/version_block_builder.h"

namespace ks {
namespace {

using test::makeVersionBlock;
using test::serializeVersionNode;
using test::VersionNode;
using Bytes = std::vector<std::uint8_t>;

const char* const kFileVersion = "\\StringFileInfo\\040904b0\\FileVersion";

VersionNode textNode(const std::string& key, const std::string& value) {
  return {key, true, value, {}, {}};
}

VersionNode binaryNode(const std::string& key, Bytes value,
                       std::vector<VersionNode> children = {}) {
  return {key, false, "", std::move(value), std::move(children)};
}

std::size_t find(const Bytes& block, const Bytes& pattern) {
  return static_cast<std::size_t>(
      std::search(block.begin(), block.end(), pattern.begin(), pattern.end()) - block.begin());
}

TEST(VersionBlockQuery, TranslationAndFileVersionOfAProgram) {
  const Bytes block = makeVersionBlock(0x0409, 0x04B0, "1, 2, 3, 4");
  Bytes translation;
  ASSERT_TRUE(queryVersionValue(block, "\\VarFileInfo\\Translation", translation));
  EXPECT_EQ(translation, (Bytes{0x09, 0x04, 0xB0, 0x04}));
  std::string text;
  ASSERT_TRUE(queryVersionString(block, kFileVersion, text));
  EXPECT_EQ(text, "1, 2, 3, 4");
  ASSERT_TRUE(queryVersionString(block, "\\StringFileInfo\\040904b0\\ProductName", text));
  EXPECT_EQ(text, "Kestrova");
  Bytes raw;
  ASSERT_TRUE(queryVersionValue(block, kFileVersion, raw));
  EXPECT_EQ(raw.size(), 22u);  // eleven UTF-16 units with the NUL
}

TEST(VersionBlockQuery, NamesAreComparedWithoutRegardToCase) {
  const Bytes block = makeVersionBlock(0x0407, 0x04E4, "5.6");
  std::string text;
  ASSERT_TRUE(queryVersionString(block, "\\stringfileinfo\\040704E4\\FILEVERSION", text));
  EXPECT_EQ(text, "5.6");
  Bytes value;
  EXPECT_TRUE(queryVersionValue(block, "\\VARFILEINFO\\translation", value));
  EXPECT_FALSE(queryVersionValue(block, "\\VarFileInfo\\Translatio", value));
  EXPECT_FALSE(queryVersionValue(block, "\\VarFileInfo\\Translations", value));
}

TEST(VersionBlockQuery, TheRootHoldsTheFixedFileInformation) {
  const Bytes block = makeVersionBlock(0x0409, 0x04B0, "1");
  for (const char* root : {"\\", "", "\\\\"}) {
    Bytes fixed;
    ASSERT_TRUE(queryVersionValue(block, root, fixed)) << root;
    ASSERT_EQ(fixed.size(), 52u);
    EXPECT_EQ(Bytes(fixed.begin(), fixed.begin() + 4), (Bytes{0xBD, 0x04, 0xEF, 0xFE}));
  }
}

TEST(VersionBlockQuery, MissingNodesAreNotFound) {
  const Bytes block = makeVersionBlock(0x0409, 0x04B0, nullptr);
  std::string text = "untouched";
  EXPECT_FALSE(queryVersionString(block, kFileVersion, text));
  EXPECT_FALSE(queryVersionString(block, "\\StringFileInfo\\040704e4\\ProductName", text));
  EXPECT_FALSE(queryVersionString(block, "\\Nothing", text));
  EXPECT_EQ(text, "untouched");
  // A node without a value exists all the same, with the empty text.
  ASSERT_TRUE(queryVersionString(block, "\\StringFileInfo", text));
  EXPECT_EQ(text, "");
}

TEST(VersionBlockQuery, TextIsCutAtTheFirstNulAndWideCharactersBecomeQuestionMarks) {
  VersionNode table{
      "040904b0", true, "", {}, {textNode("FileVersion", std::string("1.0\0xyz", 7))}};
  table.children.push_back(textNode("Comments", "a#b\xe9"));
  Bytes block = serializeVersionNode(
      binaryNode("VS_VERSION_INFO", {}, {VersionNode{"StringFileInfo", true, "", {}, {table}}}));
  const std::size_t hash = find(block, Bytes{'a', 0, '#', 0, 'b', 0});
  ASSERT_LT(hash, block.size());
  block[hash + 2] = 0x3A;  // U+263A in place of '#'
  block[hash + 3] = 0x26;
  std::string text;
  ASSERT_TRUE(queryVersionString(block, kFileVersion, text));
  EXPECT_EQ(text, "1.0");
  ASSERT_TRUE(queryVersionString(block, "\\StringFileInfo\\040904b0\\Comments", text));
  EXPECT_EQ(text, "a?b\xe9");
}

TEST(VersionBlockQuery, ValuesAndKeysOfEveryLengthStayAligned) {
  std::vector<VersionNode> children;
  for (std::size_t n = 0; n < 6; ++n) {
    children.push_back(binaryNode(std::string(n + 1, 'k'), Bytes(n, static_cast<std::uint8_t>(n))));
    children.push_back(textNode(std::string(n + 1, 't'), std::string(n, 'x')));
  }
  const Bytes block = serializeVersionNode(binaryNode("VS_VERSION_INFO", {1, 2, 3}, children));
  for (std::size_t n = 0; n < 6; ++n) {
    Bytes value;
    ASSERT_TRUE(queryVersionValue(block, "\\" + std::string(n + 1, 'k'), value)) << n;
    EXPECT_EQ(value, Bytes(n, static_cast<std::uint8_t>(n)));
    std::string text;
    ASSERT_TRUE(queryVersionString(block, "\\" + std::string(n + 1, 't'), text)) << n;
    EXPECT_EQ(text, std::string(n, 'x'));
  }
}

TEST(VersionBlockQuery, ATextLengthCountedInBytesIsCutAtTheNode) {
  Bytes block = makeVersionBlock(0x0409, 0x04B0, "1, 2");
  const std::size_t key = find(block, Bytes{'F', 0, 'i', 0, 'l', 0, 'e', 0, 'V', 0});
  ASSERT_LT(key, block.size());
  block[key - 4] = 10;  // wValueLength: bytes instead of five characters
  std::string text;
  ASSERT_TRUE(queryVersionString(block, kFileVersion, text));
  EXPECT_EQ(text, "1, 2");
  block[key - 4] = 0xFF;
  block[key - 3] = 0xFF;
  ASSERT_TRUE(queryVersionString(block, kFileVersion, text));
  EXPECT_EQ(text, "1, 2");
}

TEST(VersionBlockHostile, EveryTruncationIsRefused) {
  const Bytes block = makeVersionBlock(0x0409, 0x04B0, "1, 2, 3, 4");
  for (std::size_t size = 0; size < block.size(); ++size) {
    const Bytes cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
    std::string text;
    EXPECT_FALSE(queryVersionString(cut, kFileVersion, text)) << size;
  }
}

TEST(VersionBlockHostile, BrokenLengthsFindNothingAndNeverLoop) {
  const Bytes good = makeVersionBlock(0x0409, 0x04B0, "1");
  const std::size_t strings = find(good, Bytes{'S', 0, 't', 0, 'r', 0}) - 6;
  std::string text;
  for (std::uint16_t length : {0, 1, 5, 0xFFFF}) {
    Bytes block = good;
    block[strings] = static_cast<std::uint8_t>(length);
    block[strings + 1] = static_cast<std::uint8_t>(length >> 8);
    EXPECT_FALSE(queryVersionString(block, kFileVersion, text)) << length;
  }
  Bytes noNul = good;
  const std::size_t rootKey = find(noNul, Bytes{'V', 0, 'S', 0, '_', 0});
  for (std::size_t i = rootKey; i < noNul.size(); i += 2) {
    if (noNul[i] == 0 && noNul[i + 1] == 0) noNul[i] = 'x';  // the key never ends
  }
  EXPECT_FALSE(queryVersionString(noNul, kFileVersion, text));
  EXPECT_FALSE(queryVersionString(Bytes{6, 0, 0, 0, 0}, "\\", text));
}

TEST(VersionBlockHostile, QueriesDescendAtMostSixteenLevels) {
  VersionNode node = textNode("n", "deep");
  for (int level = 0; level < 19; ++level) node = binaryNode("n", {}, {node});
  const Bytes block = serializeVersionNode(node);
  std::string path;
  for (int level = 0; level < 16; ++level) path += "\\n";
  std::string text;
  EXPECT_TRUE(queryVersionString(block, path, text));
  EXPECT_FALSE(queryVersionString(block, path + "\\n", text));
}

}  // namespace
}  // namespace ks
