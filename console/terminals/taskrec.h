#pragma once

#include "console/terminals/macaddress.h"

#include <QDateTime>
#include <QString>

namespace quorvel {

// One timed power task. It keeps its own copy of the terminal's address, so
// editing or removing the terminal later neither moves nor cancels it.
struct TASK_REC {
    QDateTime When; // local time, to the minute as entered
    bool PowerOn = false; // true: wake the terminal; false: shut it down
    QString IP;
    MacAddress MAC;
    bool Done = false;
};

} // namespace quorvel
