#pragma once

#include "platform/system/systemclock.h"

namespace quorvel {

// Hands the new time to an operator-chosen command (for example a helper
// that is allowed to set the clock when the agent itself is not), as one
// argument "YYYY-MM-DD hh:mm:ss". The command runs to its end, at most
// `timeoutMs`; a zero exit status counts as success.
class CommandSystemClock : public SystemClock {
public:
    explicit CommandSystemClock(QString command, int timeoutMs = 15000);
    bool setLocalTime(const QDateTime& localTime, QString* error) override;

    QString command() const { return m_command; }

private:
    QString m_command;
    int m_timeoutMs;
};

} // namespace quorvel
