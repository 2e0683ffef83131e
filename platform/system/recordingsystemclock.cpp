#include "platform/system/recordingsystemclock.h"

#include <QMutexLocker>

namespace quorvel {

bool RecordingSystemClock::setLocalTime(const QDateTime& localTime, QString* error)
{
    QMutexLocker lock(&m_mutex);
    if (!m_failure.isEmpty()) {
        if (error)
            *error = m_failure;
        return false;
    }
    m_recorded.append(localTime);
    return true;
}

QList<QDateTime> RecordingSystemClock::recorded() const
{
    QMutexLocker lock(&m_mutex);
    return m_recorded;
}

void RecordingSystemClock::setFailure(const QString& reason)
{
    QMutexLocker lock(&m_mutex);
    m_failure = reason;
}

} // namespace quorvel
