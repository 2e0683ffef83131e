#include "console/terminals/clientoptions.h"

#include "core/profilefile.h"

namespace quorvel {
namespace {

quint16 portValue(const ProfileFile& ini, QStringView key, quint16 fallback)
{
    const int value = ini.readInteger(u"Network", key, fallback);
    return value >= 1 && value <= 65535 ? quint16(value) : fallback;
}

} // namespace

ClientOptions ClientOptions::load(const QString& settingsPath, const QString& repositoryPath)
{
    const ProfileFile ini(settingsPath);
    ClientOptions options;
    options.repositoryPath = repositoryPath;
    options.port = portValue(ini, u"Port", DefaultPort);
    options.wakePort = portValue(ini, u"WakePort", DefaultWakePort);
    const int seconds = ini.readInteger(u"Network", u"ReplyTimeout", DefaultReplyTimeoutSeconds);
    // A day is far beyond any sensible reply time and keeps the product in an int.
    if (seconds >= 1 && seconds <= 86400)
        options.replyTimeoutMs = seconds * 1000;
    return options;
}

} // namespace quorvel
