#include "core/dostime.h"

namespace quorvel {

uint32_t toDosDateTime(const QDateTime& localTime)
{
    QDateTime t = localTime.toLocalTime();
    const QDate first(1980, 1, 1);
    const QDateTime last(QDate(2107, 12, 31), QTime(23, 59, 58));
    if (!t.isValid() || t.date() < first)
        t = QDateTime(first, QTime(0, 0));
    else if (t > last)
        t = last;
    const QDate d = t.date();
    const QTime tm = t.time();
    const uint32_t date = uint32_t((d.year() - 1980) << 9 | d.month() << 5 | d.day());
    const uint32_t time = uint32_t(tm.hour() << 11 | tm.minute() << 5 | tm.second() / 2);
    return date << 16 | time;
}

QDateTime fromDosDateTime(uint32_t packed)
{
    const uint32_t date = packed >> 16;
    const uint32_t time = packed & 0xFFFF;
    const QDate d(int(date >> 9) + 1980, int(date >> 5 & 0x0F), int(date & 0x1F));
    const QTime tm(int(time >> 11), int(time >> 5 & 0x3F), int(time & 0x1F) * 2);
    if (!d.isValid() || !tm.isValid())
        return {};
    return QDateTime(d, tm);
}

} // namespace quorvel
