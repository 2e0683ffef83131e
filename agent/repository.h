#pragma once

#include "agent/uploadfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace quorvel {

class DiskSpace;

// The agent's flat file store and the lookups the console's names go
// through. Every name that comes from the wire is confined here: it reaches
// the repository folder, or for "Z:\" paths the shared folder, and nothing
// outside them. Stateless apart from its paths; safe on many threads.
class Repository {
public:
    static constexpr qint64 UploadMargin = 2048;

    // Both paths end in "/"; an empty `sharedPath` means no "Z:\" drive.
    Repository(QString repositoryPath, QString sharedPath, const DiskSpace& disk);

    QString path() const { return m_path; }
    QString sharedPath() const { return m_sharedPath; }

    // Full paths of the plain files that match a bare name or a pattern
    // ("*", "?" in the last component; "*.*" matches every name) in the
    // repository folder, or a "Z:\" path below the shared folder ("\" and
    // "/" both separate). Hidden files are found; folders and the agent's
    // own temporary files are not. A name with ".." or any other folder
    // part finds nothing.
    QStringList FindRepoFiles(const QString& name) const;

    // The name to look up for a path as the console knows it: the whole path
    // when it begins with "Z:\" (either case, either separator), else the text
    // after the last "\", "/" or ":".
    static QString RepoFileName(const QString& path);

    // One "DIR" line per plain, not hidden file, in the order of the folder.
    // Sizes of 2 GiB and more are shown as 2147483647; a name that the
    // line format cannot carry (a double quote or a line break in it) is
    // left out.
    QList<QByteArray> ListRepository() const;

    // Bytes available on the repository's volume less 2048; 0 when the
    // volume cannot be queried.
    qint64 FreeUploadSpace() const;
    // "SOK,total,free-2048" or "SFA".
    QByteArray SpaceReply() const;

    // Starts writing the bare file name `name` (see isBareFileName); the old
    // file of that name stays until the upload is finished.
    std::unique_ptr<UploadFile> OpenUploadFile(const QString& name, QString* error) const;
    static bool WriteUploadChunk(UploadFile& file, QByteArrayView block, QString* error);

    // Writes a whole file under a bare name, replacing the old one only when
    // every byte is on disk.
    bool storeFile(const QString& name, const QByteArray& content, QString* error) const;
    bool deleteFile(const QString& fullPath) const;

    // True for a name that is one file name of this folder: not empty, not
    // "." or "..", and without "\" or "/".
    static bool isBareFileName(const QString& name);
    // A name that begins with "." and the schedule "playlist.ini".
    static bool isHiddenName(const QString& name);

    // Removes temporary files left by an agent that stopped in the middle
    // of an upload. Only while no upload runs.
    void removeStaleUploads() const;

private:
    QString m_path;
    QString m_sharedPath;
    const DiskSpace& m_disk;
};

} // namespace quorvel
