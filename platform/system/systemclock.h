#pragma once

#include <QDateTime>
#include <QString>

namespace quorvel {

// Sets the machine's wall clock. The agent sets it on the console's request;
// tests use a recording double, so no test ever moves the real clock.
class SystemClock {
public:
    virtual ~SystemClock() = default;
    // `localTime` is a local date and time (Qt::LocalTime). False, with the
    // reason in `error`, when the clock could not be set.
    virtual bool setLocalTime(const QDateTime& localTime, QString* error) = 0;
};

} // namespace quorvel
