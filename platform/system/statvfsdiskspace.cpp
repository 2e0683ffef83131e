#include "platform/system/statvfsdiskspace.h"

#include <QFile>
#include <sys/statvfs.h>

namespace quorvel {

std::optional<DiskFigures> StatvfsDiskSpace::query(const QString& folder) const
{
    struct statvfs info{};
    if (statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return std::nullopt;
    const qint64 unit = qint64(info.f_frsize ? info.f_frsize : info.f_bsize);
    return DiskFigures{qint64(info.f_blocks) * unit, qint64(info.f_bavail) * unit};
}

} // namespace quorvel
