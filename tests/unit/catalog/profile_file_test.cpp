#include "catalog/profile_file.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(ProfileFileReading, NamesAreFoundWithoutRegardToCase) {
  const auto file = ProfileFile::parse("[Core.App]\nTitle=Client\n");
  EXPECT_EQ(file.readString("core.app", "TITLE", "", 255), "Client");
  EXPECT_EQ(file.readString("CORE.APP", "title", "", 255), "Client");
}

TEST(ProfileFileReading, ValuesLoseSurroundingBlanksAndOnePairOfQuotes) {
  const auto file = ProfileFile::parse(
      "[S]\n a = \t spaced out \t\nb=\"quoted value\"\nc='single'\nd=\"unbalanced'\n"
      "e=\"\"inner\"\"\nf=\"\n");
  EXPECT_EQ(file.readString("S", "a", "", 255), "spaced out");
  EXPECT_EQ(file.readString("S", "b", "", 255), "quoted value");
  EXPECT_EQ(file.readString("S", "c", "", 255), "single");
  EXPECT_EQ(file.readString("S", "d", "", 255), "\"unbalanced'");
  EXPECT_EQ(file.readString("S", "e", "", 255), "\"inner\"");
  EXPECT_EQ(file.readString("S", "f", "", 255), "\"");
}

TEST(ProfileFileReading, MissingSectionOrKeyGivesTheDefault) {
  const auto file = ProfileFile::parse("[S]\nkey=\n");
  EXPECT_EQ(file.readString("S", "missing", "fallback", 255), "fallback");
  EXPECT_EQ(file.readString("Other", "key", "fallback", 255), "fallback");
  EXPECT_EQ(file.readString("S", "key", "fallback", 255), "");
}

TEST(ProfileFileReading, TextsAreCutToTheBuffer) {
  const auto file = ProfileFile::parse("[S]\nv=12345678901234567890123\n");
  EXPECT_EQ(file.readString("S", "v", "", 20), "1234567890123456789");
  EXPECT_EQ(file.readString("S", "v", "", 1), "");
  // A cut never splits a UTF-8 character: "é" (2 bytes) and "€" (3 bytes).
  const auto accents = ProfileFile::parse("[S]\nv=ab\xC3\xA9z\nw=a\xE2\x82\xAC\n");
  EXPECT_EQ(accents.readString("S", "v", "", 4), "ab");
  EXPECT_EQ(accents.readString("S", "v", "", 5), "ab\xC3\xA9");
  EXPECT_EQ(accents.readString("S", "w", "", 4), "a");
  EXPECT_EQ(accents.readString("S", "w", "", 5), "a\xE2\x82\xAC");
}

TEST(ProfileFileReading, IntegersComeFromLeadingDigits) {
  const auto file = ProfileFile::parse(
      "[S]\nplain=812\ntrail=42kb\nletters=abc\nneg=-5\nplus=+5\nempty=\n"
      "huge=4294967297\n");
  EXPECT_EQ(file.readInt("S", "plain", 7), 812u);
  EXPECT_EQ(file.readInt("S", "trail", 7), 42u);
  EXPECT_EQ(file.readInt("S", "letters", 7), 0u);
  EXPECT_EQ(file.readInt("S", "neg", 7), 0u);
  EXPECT_EQ(file.readInt("S", "plus", 7), 0u);
  EXPECT_EQ(file.readInt("S", "empty", 7), 0u);
  EXPECT_EQ(file.readInt("S", "missing", 7), 7u);
  EXPECT_EQ(file.readInt("S", "huge", 7), 1u);  // wraps at 32 bits
}

TEST(ProfileFileReading, LineEndingsCommentsAndStrayLines) {
  const auto file = ProfileFile::parse(
      "\xEF\xBB\xBForphan=1\r\n[S]\r\n; note=1\r\nno equals sign\r\nkey=value\r\n"
      "key=second\r\n[S]\r\nlater=1\r\n");
  EXPECT_EQ(file.readString("S", "key", "", 255), "value");  // first of duplicates
  EXPECT_EQ(file.readString("S", "; note", "-", 255), "-");
  EXPECT_EQ(file.readString("S", "later", "-", 255), "-");  // only the first [S] is searched
  EXPECT_EQ(file.sectionNames(1024), (std::vector<std::string>{"S", "S"}));
}

TEST(ProfileFileSectionList, HoldsTheNamesThatFitInFileOrder) {
  const auto file = ProfileFile::parse("[Sites]\n[Core.App]\n[Extras.Themes]\n");
  EXPECT_EQ(file.sectionNames(1024),
            (std::vector<std::string>{"Sites", "Core.App", "Extras.Themes"}));
  // "Sites\0Core.App\0" + the final zero take 16 bytes: the third name is cut off.
  EXPECT_EQ(file.sectionNames(16), (std::vector<std::string>{"Sites", "Core.App"}));
  EXPECT_EQ(file.sectionNames(29).size(), 2u);
  EXPECT_EQ(file.sectionNames(30).size(), 3u);
}

TEST(ProfileFileSectionList, EmptyTextsHaveNoSections) {
  EXPECT_TRUE(ProfileFile::parse("").sectionNames(1024).empty());
  EXPECT_TRUE(ProfileFile::parse("key=value\n").sectionNames(1024).empty());
}

}  // namespace
}  // namespace ks
