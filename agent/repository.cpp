#include "agent/repository.h"

#include "core/dostime.h"
#include "core/wire.h"
#include "platform/system/diskspace.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <limits>

namespace quorvel {
namespace {

bool isSeparator(QChar c) { return c == u'\\' || c == u'/'; }

bool hasWildcard(QStringView name) { return name.contains(u'*') || name.contains(u'?'); }

bool isTempName(QStringView name) { return name.startsWith(QLatin1String(UploadFile::TempPrefix)); }

bool isZPath(QStringView path)
{
    return path.size() >= 3 && (path[0] == u'Z' || path[0] == u'z') && path[1] == u':' &&
           isSeparator(path[2]);
}

// The file system's usual wildcards: "*" any run, "?" one character, and a
// trailing ".*" that also matches a name without an extension (so "*.*"
// matches every name). Brackets and the like are plain characters.
QRegularExpression wildcardPattern(QStringView pattern)
{
    QString regex;
    QStringView body = pattern;
    const bool anyExtension = body.endsWith(QLatin1String(".*"));
    if (anyExtension)
        body.chop(2);
    for (QChar c : body) {
        if (c == u'*')
            regex += QLatin1String(".*");
        else if (c == u'?')
            regex += u'.';
        else
            regex += QRegularExpression::escape(QString(c));
    }
    if (anyExtension)
        regex += QLatin1String("(\\..*)?");
    return QRegularExpression(QRegularExpression::anchoredPattern(regex),
                              QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

Repository::Repository(QString repositoryPath, QString sharedPath, const DiskSpace& disk)
    : m_path(std::move(repositoryPath)), m_sharedPath(std::move(sharedPath)), m_disk(disk)
{
}

QStringList Repository::FindRepoFiles(const QString& name) const
{
    QString folder = m_path;
    QString last = name;
    if (std::any_of(name.begin(), name.end(), isSeparator)) {
        if (!isZPath(name) || m_sharedPath.isEmpty())
            return {};
        QStringList parts;
        QString part;
        for (QChar c : QStringView(name).mid(3)) {
            if (isSeparator(c)) {
                parts << part;
                part.clear();
            } else {
                part += c;
            }
        }
        parts << part;
        last = parts.takeLast();
        folder = m_sharedPath;
        for (const QString& p : parts) {
            if (p.isEmpty() || p == u'.')
                continue;
            if (p == QLatin1String("..") || hasWildcard(p))
                return {};
            folder += p + u'/';
        }
    }
    if (last.isEmpty() || last == u'.' || last == QLatin1String("..") ||
        std::any_of(last.begin(), last.end(), [](QChar c) { return c.unicode() < 0x20; }))
        return {};

    if (!hasWildcard(last)) {
        const QFileInfo info(folder + last);
        if (info.isFile() && !isTempName(last))
            return {folder + last};
        return {};
    }
    const QRegularExpression pattern = wildcardPattern(last);
    QStringList found;
    const QStringList entries =
        QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    for (const QString& entry : entries)
        if (!isTempName(entry) && pattern.match(entry).hasMatch())
            found << folder + entry;
    return found;
}

QString Repository::RepoFileName(const QString& path)
{
    if (isZPath(path))
        return path;
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i]) || path[i] == u':')
            return path.mid(i + 1);
    return path;
}

QList<QByteArray> Repository::ListRepository() const
{
    QList<QByteArray> lines;
    const QFileInfoList entries = QDir(m_path).entryInfoList(QDir::Files, QDir::Unsorted);
    for (const QFileInfo& info : entries) {
        const QString name = info.fileName();
        if (isHiddenName(name) || name.contains(u'"') || name.contains(u'\r') ||
            name.contains(u'\n'))
            continue;
        constexpr qint64 maxSize = std::numeric_limits<qint32>::max();
        wire::ListingEntry entry;
        entry.name = name;
        entry.size = qint32(std::min(info.size(), maxSize));
        entry.dosTime = toDosDateTime(info.lastModified());
        lines << wire::formatListingLine(entry);
    }
    return lines;
}

qint64 Repository::FreeUploadSpace() const
{
    const std::optional<DiskFigures> figures = m_disk.query(m_path);
    return figures ? figures->availableBytes - UploadMargin : 0;
}

QByteArray Repository::SpaceReply() const
{
    const std::optional<DiskFigures> figures = m_disk.query(m_path);
    if (!figures)
        return QByteArray(wire::ScheduleFailed);
    return wire::formatSpaceReply(figures->totalBytes, figures->availableBytes - UploadMargin);
}

std::unique_ptr<UploadFile> Repository::OpenUploadFile(const QString& name, QString* error) const
{
    if (!isBareFileName(name) || hasWildcard(name)) {
        if (error)
            *error = QStringLiteral("not a bare file name: %1").arg(name);
        return nullptr;
    }
    return UploadFile::create(m_path + name, error);
}

bool Repository::WriteUploadChunk(UploadFile& file, QByteArrayView block, QString* error)
{
    return file.write(block, error);
}

bool Repository::storeFile(const QString& name, const QByteArray& content, QString* error) const
{
    std::unique_ptr<UploadFile> file = OpenUploadFile(name, error);
    return file && file->write(content, error) && file->finish(error);
}

bool Repository::deleteFile(const QString& fullPath) const { return QFile::remove(fullPath); }

bool Repository::isBareFileName(const QString& name)
{
    if (name.isEmpty() || name == u'.' || name == QLatin1String(".."))
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return isSeparator(c) || c.unicode() < 0x20; });
}

bool Repository::isHiddenName(const QString& name)
{
    return name.startsWith(u'.') || name == QLatin1String("playlist.ini");
}

void Repository::removeStaleUploads() const
{
    QDir dir(m_path);
    const QStringList stale =
        dir.entryList({QLatin1String(UploadFile::TempPrefix) + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : stale)
        dir.remove(name);
}

} // namespace quorvel
