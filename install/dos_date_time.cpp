#include "install/dos_date_time.h"

namespace ks {

namespace {

constexpr int kDosEpochYear = 1980;

int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

bool decodeDosDateTime(std::uint16_t date, std::uint16_t time, FileSystem::LocalDateTime& out) {
  FileSystem::LocalDateTime decoded;
  decoded.day = date & 0x1F;
  decoded.month = (date >> 5) & 0x0F;
  decoded.year = kDosEpochYear + (date >> 9);
  decoded.second = (time & 0x1F) * 2;
  decoded.minute = (time >> 5) & 0x3F;
  decoded.hour = time >> 11;
  if (decoded.month < 1 || decoded.month > 12 || decoded.day < 1 ||
      decoded.day > daysInMonth(decoded.year, decoded.month))
    return false;
  if (decoded.hour > 23 || decoded.minute > 59 || decoded.second > 59) return false;
  out = decoded;
  return true;
}

}  // namespace ks
