// Where a 206 answer's piece lies in the file: only a well-formed range that
// can lie in the file is taken.

#include "download/content_range.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(ContentRange, ThePieceAndTheTotalOrAnUnknownTotal) {
  ContentRange range;
  ASSERT_TRUE(parseContentRange("bytes 2048-5000000000/5000000001", range));
  EXPECT_EQ(range.first, 2048u);
  EXPECT_EQ(range.last, 5000000000u);
  EXPECT_TRUE(range.totalKnown);
  EXPECT_EQ(range.total, 5000000001u);
  ASSERT_TRUE(parseContentRange("bytes 0-0/*", range));
  EXPECT_FALSE(range.totalKnown);
  for (const char* bad :
       {"bytes 9-5/10", "bytes 0-10/10", "bytes -1-5/10", "bytes 0-5", "bytes 0-5/", "bytes=0-5/10",
        "items 0-5/10", "bytes 0-5/10 ", "bytes 0-99999999999999999999/*", ""}) {
    EXPECT_FALSE(parseContentRange(bad, range)) << bad;
  }
}

}  // namespace
}  // namespace ks
