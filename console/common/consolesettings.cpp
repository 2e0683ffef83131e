#include "console/common/consolesettings.h"

#include "core/profilefile.h"

#include <QDir>

namespace quorvel {

QString withTrailingSeparator(const QString& folder)
{
    if (folder.endsWith(u'/'))
        return folder;
    if (folder.endsWith(u'\\'))
        return folder.left(folder.size() - 1) + u'/';
    return folder + u'/';
}

ConsoleSettings ConsoleSettings::load(const QString& programDir)
{
    ConsoleSettings settings;
    settings.programDir = withTrailingSeparator(QDir::cleanPath(programDir));
    settings.settingsPath = settings.programDir + QStringLiteral("quorvel.ini");
    const ProfileFile ini(settings.settingsPath);
    const QString defaultRepository = settings.programDir + QStringLiteral("Terminal/Repositories/");
    settings.repositoryPath = withTrailingSeparator(
        ini.readString(u"Repositories", u"path", defaultRepository));
    return settings;
}

} // namespace quorvel
