#include "agent/uploadfile.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorvel {

UploadFile::UploadFile(QString targetPath, QString tempPath)
    : m_targetPath(std::move(targetPath)), m_file(tempPath)
{
}

UploadFile::~UploadFile()
{
    if (!m_done)
        abandon();
}

std::unique_ptr<UploadFile> UploadFile::create(const QString& targetPath, QString* error)
{
    // A unique name from QTemporaryFile, kept after it goes out of scope; the
    // file is then reopened through a plain QFile that writes unbuffered.
    QString tempPath;
    {
        QTemporaryFile temp(QFileInfo(targetPath).absolutePath() + u'/' +
                            QLatin1String(TempPrefix) + QStringLiteral("XXXXXX"));
        temp.setAutoRemove(false);
        if (!temp.open()) {
            if (error)
                *error = temp.errorString();
            return nullptr;
        }
        tempPath = temp.fileName();
    }
    std::unique_ptr<UploadFile> upload(new UploadFile(targetPath, tempPath));
    if (!upload->m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        if (error)
            *error = upload->m_file.errorString();
        QFile::remove(tempPath);
        upload->m_done = true;
        return nullptr;
    }
    // Uploaded files are ordinary files of the folder, not private temporaries.
    upload->m_file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                  QFile::ReadOther);
    return upload;
}

bool UploadFile::write(QByteArrayView bytes, QString* error)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = m_file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (error)
                *error = m_file.errorString();
            return false;
        }
        done += n;
    }
    m_written += done;
    return true;
}

bool UploadFile::finish(QString* error)
{
    if (m_done) {
        if (error)
            *error = QStringLiteral("upload already closed");
        return false;
    }
    const bool flushed = m_file.flush();
    m_file.close();
    if (!flushed || m_file.error() != QFileDevice::NoError) {
        if (error)
            *error = m_file.errorString();
        abandon();
        return false;
    }
    // rename(2) replaces the old file in one step, which QFile::rename does not.
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(),
                    QFile::encodeName(m_targetPath).constData()) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        abandon();
        return false;
    }
    m_done = true;
    return true;
}

void UploadFile::abandon()
{
    if (m_file.isOpen())
        m_file.close();
    QFile::remove(m_file.fileName());
    m_done = true;
}

} // namespace quorvel
