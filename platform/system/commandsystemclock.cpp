#include "platform/system/commandsystemclock.h"

#include <QProcess>

namespace quorvel {

CommandSystemClock::CommandSystemClock(QString command, int timeoutMs)
    : m_command(std::move(command)), m_timeoutMs(timeoutMs)
{
}

bool CommandSystemClock::setLocalTime(const QDateTime& localTime, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!localTime.isValid())
        return fail(QStringLiteral("invalid date and time"));
    QStringList arguments = QProcess::splitCommand(m_command);
    if (arguments.isEmpty())
        return fail(QStringLiteral("no clock command"));
    const QString program = arguments.takeFirst();
    arguments << localTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(m_timeoutMs))
        return fail(process.errorString());
    if (!process.waitForFinished(m_timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return fail(QStringLiteral("clock command did not finish"));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return fail(QStringLiteral("clock command failed with status %1").arg(process.exitCode()));
    return true;
}

} // namespace quorvel
