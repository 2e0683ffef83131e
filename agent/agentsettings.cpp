#include "agent/agentsettings.h"

#include "core/profilefile.h"

#include <QDir>

namespace quorvel {
namespace {

// Relative folders are taken from the program's folder, never from the
// current one; the result always ends in "/".
QString folderPath(const QString& programDir, QString value)
{
    // Written by hand from the Windows layout, "..\Repositories\" means
    // the same folder as "../Repositories/".
    value.replace(u'\\', u'/');
    const QString absolute = QDir::cleanPath(QDir(programDir).absoluteFilePath(value));
    return absolute.endsWith(u'/') ? absolute : absolute + u'/';
}

} // namespace

QString AgentSettings::fileFor(const QString& programDir)
{
    return QDir(programDir).absoluteFilePath(QStringLiteral("tarrow.ini"));
}

AgentSettings AgentSettings::load(const QString& programDir)
{
    const ProfileFile ini(fileFor(programDir));
    AgentSettings settings;

    const QString path = ini.readString(u"Repositories", u"path");
    settings.repositoryPath =
        folderPath(programDir, path.isEmpty() ? QStringLiteral("Repositories") : path);
    const QString shared = ini.readString(u"Repositories", u"shared");
    if (!shared.isEmpty())
        settings.sharedPath = folderPath(programDir, shared);

    const int port = ini.readInteger(u"Server", u"Port", DefaultPort);
    settings.port = port >= 1 && port <= 65535 ? quint16(port) : DefaultPort;
    settings.bindAddress = ini.readString(u"Server", u"Bind");

    auto command = [&ini](QStringView key, const QString& fallback) {
        const QString value = ini.readString(u"System", key);
        return value.isEmpty() ? fallback : value;
    };
    settings.shutdownCommand = command(u"Shutdown", settings.shutdownCommand);
    settings.rebootCommand = command(u"Reboot", settings.rebootCommand);
    settings.setClockCommand = ini.readString(u"System", u"SetClock");
    const int stopTimeout = ini.readInteger(u"System", u"StopTimeout", DefaultStopTimeoutSeconds);
    settings.stopTimeoutSeconds = stopTimeout > 0 ? stopTimeout : DefaultStopTimeoutSeconds;
    return settings;
}

} // namespace quorvel
