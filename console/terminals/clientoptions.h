#pragma once

#include <QString>

namespace quorvel {

// What the command client needs to know besides a terminal's address.
struct ClientOptions {
    static constexpr quint16 DefaultPort = 5004;
    static constexpr int DefaultReplyTimeoutSeconds = 10;
    static constexpr quint16 DefaultWakePort = 9;

    quint16 port = DefaultPort;
    // How long to wait for each reply line once connected; after it the
    // exchange counts as not answered.
    int replyTimeoutMs = DefaultReplyTimeoutSeconds * 1000;
    quint16 wakePort = DefaultWakePort;
    // The console's repository folder, ending in "/": where schedules and
    // the notice text are taken from.
    QString repositoryPath;

    // Section "Network" of the settings file: "Port", "ReplyTimeout"
    // (seconds) and "WakePort". Missing or unusable values give the defaults.
    static ClientOptions load(const QString& settingsPath, const QString& repositoryPath);
};

} // namespace quorvel
