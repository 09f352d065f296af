// MS-DOS dates and times of cabinet entries.

#include "install/dos_date_time.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

uint16_t dosDate(int year, int month, int day) {
  return static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}

uint16_t dosTime(int hour, int minute, int second) {
  return static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

TEST(DosDateTimeTest, FieldsAreTakenFromTheirBits) {
  FileSystem::LocalDateTime time;
  ASSERT_TRUE(decodeDosDateTime(0x58B1, 0x6DAF, time));
  EXPECT_EQ(time.year, 2024);
  EXPECT_EQ(time.month, 5);
  EXPECT_EQ(time.day, 17);
  EXPECT_EQ(time.hour, 13);
  EXPECT_EQ(time.minute, 45);
  EXPECT_EQ(time.second, 30);
}

TEST(DosDateTimeTest, TheExtremesOfTheRangeDecode) {
  FileSystem::LocalDateTime time;
  ASSERT_TRUE(decodeDosDateTime(dosDate(1980, 1, 1), dosTime(0, 0, 0), time));
  EXPECT_EQ(time.year, 1980);
  ASSERT_TRUE(decodeDosDateTime(dosDate(2107, 12, 31), dosTime(23, 59, 58), time));
  EXPECT_EQ(time.year, 2107);
  EXPECT_EQ(time.second, 58);
}

TEST(DosDateTimeTest, DatesAndTimesThatDoNotExistAreRefused) {
  FileSystem::LocalDateTime time;
  time.year = 1999;
  EXPECT_FALSE(decodeDosDateTime(dosDate(2024, 13, 1), 0, time));
  EXPECT_FALSE(decodeDosDateTime(dosDate(2024, 0, 1), 0, time));
  EXPECT_FALSE(decodeDosDateTime(dosDate(2024, 4, 0), 0, time));
  EXPECT_FALSE(decodeDosDateTime(dosDate(2024, 4, 31), 0, time));
  EXPECT_FALSE(decodeDosDateTime(dosDate(2023, 2, 29), 0, time));
  EXPECT_FALSE(decodeDosDateTime(dosDate(2024, 1, 1), dosTime(24, 0, 0), time));
  EXPECT_FALSE(decodeDosDateTime(dosDate(2024, 1, 1), dosTime(12, 60, 0), time));
  EXPECT_FALSE(decodeDosDateTime(dosDate(2024, 1, 1), dosTime(12, 0, 0) | 30, time));
  EXPECT_EQ(time.year, 1999);  // left alone
  EXPECT_TRUE(decodeDosDateTime(dosDate(2024, 2, 29), 0, time));
  EXPECT_TRUE(decodeDosDateTime(dosDate(2000, 2, 29), 0, time));
}

}  // namespace
}  // namespace ks
