#include "core/dostime.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(DosTime, PacksDateHighAndTimeLow)
{
    const QDateTime t(QDate(2026, 12, 11), QTime(15, 30, 44));
    const uint32_t packed = toDosDateTime(t);
    EXPECT_EQ(packed >> 16, uint32_t((2026 - 1980) << 9 | 12 << 5 | 11));
    EXPECT_EQ(packed & 0xFFFF, uint32_t(15 << 11 | 30 << 5 | 22));
    EXPECT_EQ(fromDosDateTime(packed), t);
}

TEST(DosTime, OddSecondsAndRangeEnds)
{
    EXPECT_EQ(fromDosDateTime(toDosDateTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 59)))),
              QDateTime(QDate(2000, 1, 1), QTime(0, 0, 58)));
    EXPECT_EQ(fromDosDateTime(toDosDateTime(QDateTime(QDate(1970, 1, 1), QTime(12, 0)))),
              QDateTime(QDate(1980, 1, 1), QTime(0, 0)));
    EXPECT_EQ(fromDosDateTime(toDosDateTime(QDateTime(QDate(2200, 1, 1), QTime(0, 0)))),
              QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58)));
    EXPECT_FALSE(fromDosDateTime(0).isValid()); // month and day 0
}
