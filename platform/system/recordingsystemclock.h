#pragma once

#include "platform/system/systemclock.h"

#include <QList>
#include <QMutex>

namespace quorvel {

// Test double: remembers every time it was asked to set instead of setting
// it. Safe to use from several threads.
class RecordingSystemClock : public SystemClock {
public:
    bool setLocalTime(const QDateTime& localTime, QString* error) override;

    QList<QDateTime> recorded() const;
    // Makes the following calls fail with `reason` (empty: succeed again).
    void setFailure(const QString& reason);

private:
    mutable QMutex m_mutex;
    QList<QDateTime> m_recorded;
    QString m_failure;
};

} // namespace quorvel
