#include "platform/posix/registry_names.h"

#include <gtest/gtest.h>

#include "platform/posix/registry_values_file.h"

namespace ks::registry {
namespace {

TEST(RegistryKeyNames, UnsafeBytesAreEscapedAndComeBack) {
  EXPECT_EQ(encodeKeyName("Kestrova 1.0"), "Kestrova 1.0");
  EXPECT_EQ(encodeKeyName("a/b%c"), "a%2Fb%25c");
  EXPECT_EQ(encodeKeyName(".x.y"), "%2Ex.y");
  EXPECT_EQ(encodeKeyName(".."), "%2E.");
  EXPECT_EQ(encodeKeyName(std::string("\0\n\x7f\xe9", 4)), "%00%0A%7F%E9");
  for (int c = 0; c < 256; ++c) {
    const std::string name = std::string(1, static_cast<char>(c)) + static_cast<char>(c);
    const std::string encoded = encodeKeyName(name);
    EXPECT_NE(encoded.front(), '.');
    EXPECT_EQ(encoded.find('/'), std::string::npos);
    EXPECT_EQ(decodeKeyName(encoded), name) << c;
  }
}

TEST(RegistryKeyNames, FolderNamesTheEncoderNeverWritesAreNotKeys) {
  EXPECT_FALSE(decodeKeyName(".values"));
  EXPECT_FALSE(decodeKeyName(".deleted"));
  EXPECT_FALSE(decodeKeyName(""));
  EXPECT_FALSE(decodeKeyName("%41"));  // "A" is written as it is
  EXPECT_FALSE(decodeKeyName("%2e"));  // lower-case hex
  EXPECT_FALSE(decodeKeyName("abc%2"));
  EXPECT_FALSE(decodeKeyName("abc%ZZ"));
  EXPECT_FALSE(decodeKeyName("tab\there"));
}

TEST(RegistryKeyNames, PathsSplitAtBackslashes) {
  EXPECT_EQ(splitKeyPath(""), std::vector<std::string>{});
  EXPECT_EQ(splitKeyPath("Software\\Kestrova"), (std::vector<std::string>{"Software", "Kestrova"}));
  EXPECT_FALSE(splitKeyPath("\\"));
  EXPECT_FALSE(splitKeyPath("a\\\\b"));
  EXPECT_FALSE(splitKeyPath("a\\"));
}

TEST(RegistryKeyNames, CaseIsFoldedForAsciiLettersOnly) {
  EXPECT_TRUE(sameName("Install Directory", "INSTALL directory"));
  EXPECT_FALSE(sameName("\xc9", "\xe9"));
  EXPECT_FALSE(sameName("ab", "abc"));
}

TEST(RegistryValuesFile, DamagedFilesAreRefused) {
  std::vector<RegistryValue> values{{"kept", "x"}};
  for (const char* text : {"", "KSREG2\n", "KSREG1\n1 1\nab", "KSREG1\n1 1\nabc",
                           "KSREG1\n-1 1\na\n", "KSREG1\n1\n", "KSREG1\n99999999999999999999 1\n",
                           "KSREG1\n18446744073709551615 1\nab\n", "KSREG1\n 1 1\nab\n"}) {
    EXPECT_FALSE(parseValues(text, values)) << text;
  }
  ASSERT_EQ(values.size(), 1u);  // a refused file leaves the list alone
  EXPECT_EQ(values[0].name, "kept");
}

TEST(RegistryValuesFile, EveryByteSurvivesTheRoundTrip) {
  std::vector<RegistryValue> values{{"", ""}, {std::string("a\0\n", 3), "1 2\n"}};
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  values.push_back({all, all});
  std::vector<RegistryValue> parsed;
  ASSERT_TRUE(parseValues(serializeValues(values), parsed));
  ASSERT_EQ(parsed.size(), values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(parsed[i].name, values[i].name);
    EXPECT_EQ(parsed[i].data, values[i].data);
  }
}

}  // namespace
}  // namespace ks::registry
