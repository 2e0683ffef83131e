#include "agent/systemoperations.h"

#include "platform/system/powercontrol.h"
#include "platform/system/systemclock.h"

#include <QRegularExpression>

namespace quorvel {

SystemOperations::SystemOperations(SystemClock& clock, PowerControl& power)
    : m_clock(clock), m_power(power)
{
}

std::optional<QDateTime> SystemOperations::parseClockText(const QString& text)
{
    static const QRegularExpression format(QStringLiteral(
        R"(^(\d{4})([/-])(\d{1,2})\2(\d{1,2}) +(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?$)"));
    const QRegularExpressionMatch m = format.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    const QTime time(m.captured(5).toInt(), m.captured(6).toInt(),
                     m.captured(7).isEmpty() ? 0 : m.captured(7).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    const QDateTime local(date, time, Qt::LocalTime);
    // A time that does not exist here (skipped by a daylight-saving change)
    // is refused rather than moved.
    if (!local.isValid() || local.time() != time)
        return std::nullopt;
    return local;
}

bool SystemOperations::SetClock(const QString& text, QString* error)
{
    const std::optional<QDateTime> local = parseClockText(text);
    if (!local) {
        if (error)
            *error = QStringLiteral("not a date and time: %1").arg(text);
        return false;
    }
    return m_clock.setLocalTime(*local, error);
}

bool SystemOperations::ShutdownPC(QString* error) { return m_power.powerOff(error); }

bool SystemOperations::RebootPC(QString* error) { return m_power.restart(error); }

} // namespace quorvel
