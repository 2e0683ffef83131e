#pragma once

#include <QDateTime>
#include <cstdint>

namespace quorvel {

// MS-DOS packed date and time: date in the high 16 bits (day 0-4, month 5-8,
// year-1980 9-15), time in the low 16 bits (seconds/2 0-4, minutes 5-10,
// hours 11-15). Times before 1980 are clamped to 1980-01-01 00:00:00 and
// times after 2107 to the last representable second; seconds are rounded
// down to an even number.
uint32_t toDosDateTime(const QDateTime& localTime);

// An invalid QDateTime when the fields do not make a date and time.
QDateTime fromDosDateTime(uint32_t packed);

} // namespace quorvel
