#pragma once
// MS-DOS dates and times, as cabinets store them for each file.

#include <cstdint>

#include "platform/file_system.h"

namespace ks {

// Date: day in bits 0-4, month 5-8, years since 1980 in 9-15. Time: seconds/2
// in bits 0-4, minutes 5-10, hours 11-15. False for a date or time that does
// not exist (month 13, 30 February, 24:00, ...).
bool decodeDosDateTime(std::uint16_t date, std::uint16_t time, FileSystem::LocalDateTime& out);

}  // namespace ks
