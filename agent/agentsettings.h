#pragma once

#include <QString>

namespace quorvel {

// The agent's settings, read once at start from "tarrow.ini" beside the
// program and never written. Paths always end in "/".
struct AgentSettings {
    static constexpr quint16 DefaultPort = 5004;
    static constexpr int DefaultStopTimeoutSeconds = 30;

    // [Repositories] path: default <programDir>/Repositories/. A relative
    // value is taken from the program's folder; every "\" counts as "/".
    QString repositoryPath;
    // [Repositories] shared: the folder that "Z:\" paths from the console are
    // looked up in. Empty: there is no such drive, and "Z:\" paths find nothing.
    QString sharedPath;
    // [Server] Port and Bind. An empty bind address means all addresses.
    quint16 port = DefaultPort;
    QString bindAddress;
    // [System] Shutdown, Reboot: command lines, run detached.
    QString shutdownCommand = QStringLiteral("systemctl poweroff");
    QString rebootCommand = QStringLiteral("systemctl reboot");
    // [System] SetClock: when not empty, this command is run with the new
    // local time as one argument "YYYY-MM-DD hh:mm:ss" instead of setting
    // the clock in-process.
    QString setClockCommand;
    // [System] StopTimeout: seconds to keep asking players to close.
    int stopTimeoutSeconds = DefaultStopTimeoutSeconds;

    // The settings file's path for a program folder.
    static QString fileFor(const QString& programDir);
    // A missing file or missing keys give the defaults; a port that is not a
    // number from 1 to 65535 gives the default port.
    static AgentSettings load(const QString& programDir);
};

} // namespace quorvel
