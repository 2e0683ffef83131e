#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorvel {

// A Windows-style profile (INI) file, held in memory.
//
// Reading: section and key names match without regard to case; values lose
// leading and trailing blanks, and a value wholly enclosed in single or double
// quotes loses them; a value is cut at 2047 bytes (GB18030). Integers read as
// decimal with an optional sign, or hexadecimal after "0x" or "$"; anything
// else reads as the default. Booleans are integers, true when not 0.
//
// Writing: "key=value" lines with no blanks, CR LF line ends, GB18030. A new
// key goes to the end of its section, a new section to the end of the file,
// an existing key keeps its place. Lines that are not key=value (comments)
// are kept where they stand.
//
// A value holding line breaks is written as one line: enclosed in double
// quotes, with CR as \r, LF as \n and a backslash as \\. A quoted value is
// only decoded when it holds such an escape and every backslash in it starts
// one, so plain one-line values read exactly as they were written.
class ProfileFile {
public:
    static constexpr qsizetype MaxValueBytes = 2047;

    ProfileFile() = default;
    // Reads `path` at once; a missing or unreadable file gives an empty profile
    // (see loadError()). save() writes back to the same path.
    explicit ProfileFile(QString path);

    static ProfileFile fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    QString path() const { return m_path; }
    void setPath(const QString& path) { m_path = path; }
    // Empty when the file was read, or did not exist.
    QString loadError() const { return m_loadError; }

    // Writes the whole file through a temporary file in the same folder and a
    // rename: a failed save leaves the old file as it was.
    bool save(QString* error = nullptr) const;

    QString readString(QStringView section, QStringView key, const QString& defaultValue = {}) const;
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;

    void writeString(QStringView section, QStringView key, const QString& value);
    void writeInteger(QStringView section, QStringView key, int value);
    void writeBool(QStringView section, QStringView key, bool value);

    bool sectionExists(QStringView section) const;
    bool valueExists(QStringView section, QStringView key) const;
    QStringList sections() const;
    QStringList keys(QStringView section) const;
    void eraseSection(QStringView section);
    void deleteKey(QStringView section, QStringView key);
    void clear();

    // The integer rule on its own, for values that come from elsewhere.
    static bool parseInteger(QStringView text, int* value);

private:
    struct Line {
        QString key;   // empty for a line that is not key=value
        QString value; // the raw value, or the whole raw line
        bool isEntry = false;
    };
    struct Section {
        QString name;
        bool hasHeader = true; // false for lines before the first section
        std::vector<Line> lines;
    };

    void parse(const QByteArray& bytes);
    Section* findSection(QStringView name);
    const Section* findSection(QStringView name) const;
    const Line* findEntry(QStringView section, QStringView key) const;

    QString m_path;
    QString m_loadError;
    std::vector<Section> m_sections;
};

} // namespace quorvel
