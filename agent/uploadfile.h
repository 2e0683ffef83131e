#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <memory>

namespace quorvel {

// A file being written into the repository folder. The bytes go to a hidden
// temporary file beside the target, which replaces the target only in
// finish(); a file given up (or destroyed unfinished) leaves the old target
// as it was and no partial file behind.
class UploadFile {
public:
    // Name prefix of the temporary files; the repository never shows or
    // finds them.
    static constexpr char TempPrefix[] = ".quorvel-upload-";

    ~UploadFile();
    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    // Creates the temporary file for `targetPath`. nullptr with a reason on
    // failure.
    static std::unique_ptr<UploadFile> create(const QString& targetPath, QString* error);

    bool write(QByteArrayView bytes, QString* error);
    // Flushes, closes and renames over the target.
    bool finish(QString* error);
    // Removes the temporary file; the target stays untouched.
    void abandon();

    QString targetPath() const { return m_targetPath; }
    qint64 written() const { return m_written; }

private:
    UploadFile(QString targetPath, QString tempPath);
    QString m_targetPath;
    QFile m_file;
    qint64 m_written = 0;
    bool m_done = false;
};

} // namespace quorvel
