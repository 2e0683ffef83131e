#pragma once

#include "platform/system/systemclock.h"

namespace quorvel {

// clock_settime(CLOCK_REALTIME); needs CAP_SYS_TIME.
class PosixSystemClock : public SystemClock {
public:
    bool setLocalTime(const QDateTime& localTime, QString* error) override;
};

} // namespace quorvel
