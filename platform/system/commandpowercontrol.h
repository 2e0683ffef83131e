#pragma once

#include "platform/system/powercontrol.h"

namespace quorvel {

// Runs the configured command lines detached (split like a shell would,
// without a shell). Tests point them at harmless commands.
class CommandPowerControl : public PowerControl {
public:
    CommandPowerControl(QString powerOffCommand, QString restartCommand);
    bool powerOff(QString* error) override;
    bool restart(QString* error) override;

    // Starts `commandLine` detached; false with a reason when it is empty or
    // cannot be started.
    static bool startDetached(const QString& commandLine, QString* error);

private:
    QString m_powerOffCommand;
    QString m_restartCommand;
};

} // namespace quorvel
