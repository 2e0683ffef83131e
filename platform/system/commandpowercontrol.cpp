#include "platform/system/commandpowercontrol.h"

#include <QProcess>

namespace quorvel {

CommandPowerControl::CommandPowerControl(QString powerOffCommand, QString restartCommand)
    : m_powerOffCommand(std::move(powerOffCommand)), m_restartCommand(std::move(restartCommand))
{
}

bool CommandPowerControl::powerOff(QString* error) { return startDetached(m_powerOffCommand, error); }

bool CommandPowerControl::restart(QString* error) { return startDetached(m_restartCommand, error); }

bool CommandPowerControl::startDetached(const QString& commandLine, QString* error)
{
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty()) {
        if (error)
            *error = QStringLiteral("no command configured");
        return false;
    }
    QProcess process;
    process.setProgram(arguments.takeFirst());
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        if (error)
            *error = process.errorString();
        return false;
    }
    return true;
}

} // namespace quorvel
