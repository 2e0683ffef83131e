#include "platform/system/posixsystemclock.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace quorvel {

bool PosixSystemClock::setLocalTime(const QDateTime& localTime, QString* error)
{
    if (!localTime.isValid()) {
        if (error)
            *error = QStringLiteral("invalid date and time");
        return false;
    }
    timespec ts{};
    ts.tv_sec = time_t(localTime.toSecsSinceEpoch());
    ts.tv_nsec = long(localTime.time().msec()) * 1000000L;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace quorvel
