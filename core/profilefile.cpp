#include "core/profilefile.h"

#include "core/textcodec.h"

#include <QFile>
#include <QSaveFile>

#include <cstdint>

namespace quorvel {
namespace {

bool sameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool whollyQuoted(QStringView v)
{
    return v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front();
}

// The inside of a quoted value is taken as escaped text when it holds at
// least one backslash and every backslash starts one of our escapes.
bool looksEscaped(QStringView inner)
{
    bool any = false;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] != u'\\')
            continue;
        if (i + 1 >= inner.size())
            return false;
        const QChar next = inner[i + 1];
        if (next != u'\\' && next != u'r' && next != u'n')
            return false;
        any = true;
        ++i;
    }
    return any;
}

QString unescape(QStringView inner)
{
    QString out;
    out.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'\\' && i + 1 < inner.size()) {
            const QChar next = inner[++i];
            out.append(next == u'r' ? QChar(u'\r') : next == u'n' ? QChar(u'\n') : next);
        } else {
            out.append(inner[i]);
        }
    }
    return out;
}

QString escapeAndQuote(const QString& value)
{
    QString out;
    out.reserve(value.size() + 8);
    out.append(u'"');
    for (QChar c : value) {
        if (c == u'\\')
            out.append(QStringLiteral("\\\\"));
        else if (c == u'\r')
            out.append(QStringLiteral("\\r"));
        else if (c == u'\n')
            out.append(QStringLiteral("\\n"));
        else
            out.append(c);
    }
    out.append(u'"');
    return out;
}

// Whether a value written as it stands would read back as something else:
// line breaks, blanks at the ends, or quotes around it.
bool needsWrapping(const QString& value)
{
    if (value.contains(u'\r') || value.contains(u'\n'))
        return true;
    if (value.isEmpty())
        return false;
    if (value.trimmed().size() != value.size())
        return true;
    return whollyQuoted(value);
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path))
{
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_loadError = file.errorString();
        return;
    }
    parse(file.readAll());
}

ProfileFile ProfileFile::fromBytes(const QByteArray& bytes)
{
    ProfileFile profile;
    profile.parse(bytes);
    return profile;
}

void ProfileFile::parse(const QByteArray& bytes)
{
    m_sections.clear();
    const QString text = fromGb18030(bytes);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break; // the text after the last line end
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            qsizetype close = trimmed.indexOf(u']');
            if (close < 0)
                close = trimmed.size();
            m_sections.push_back({trimmed.mid(1, close - 1).trimmed(), true, {}});
            continue;
        }
        if (m_sections.empty())
            m_sections.push_back({QString(), false, {}});
        Line entry;
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && !trimmed.startsWith(u';')) {
            entry.key = line.left(eq).trimmed();
            entry.value = line.mid(eq + 1);
            entry.isEntry = true;
        } else {
            entry.value = line;
        }
        m_sections.back().lines.push_back(std::move(entry));
    }
}

QByteArray ProfileFile::toBytes() const
{
    QString text;
    for (const Section& section : m_sections) {
        if (section.hasHeader)
            text += u'[' + section.name + QStringLiteral("]\r\n");
        for (const Line& line : section.lines) {
            if (line.isEntry)
                text += line.key + u'=' + line.value;
            else
                text += line.value;
            text += QStringLiteral("\r\n");
        }
    }
    return toGb18030(text);
}

bool ProfileFile::save(QString* error) const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

ProfileFile::Section* ProfileFile::findSection(QStringView name)
{
    for (Section& section : m_sections)
        if (section.hasHeader && sameName(section.name, name))
            return &section;
    return nullptr;
}

const ProfileFile::Section* ProfileFile::findSection(QStringView name) const
{
    return const_cast<ProfileFile*>(this)->findSection(name);
}

const ProfileFile::Line* ProfileFile::findEntry(QStringView section, QStringView key) const
{
    for (const Section& s : m_sections) {
        if (!s.hasHeader || !sameName(s.name, section))
            continue;
        for (const Line& line : s.lines)
            if (line.isEntry && sameName(line.key, key))
                return &line;
    }
    return nullptr;
}

QString ProfileFile::readString(QStringView section, QStringView key,
                                const QString& defaultValue) const
{
    const Line* line = findEntry(section, key);
    if (!line)
        return defaultValue;
    QStringView value = QStringView(line->value).trimmed();
    if (whollyQuoted(value)) {
        const bool doubleQuoted = value.front() == u'"';
        value = value.mid(1, value.size() - 2);
        if (doubleQuoted && looksEscaped(value))
            return unescape(value); // our own multi-line form, read whole
    }
    return truncateToGb18030Bytes(value.toString(), MaxValueBytes);
}

bool ProfileFile::parseInteger(QStringView text, int* value)
{
    QStringView t = text.trimmed();
    bool negative = false;
    if (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) {
        negative = t.front() == u'-';
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    } else if (t.startsWith(u'$')) {
        base = 16;
        t = t.mid(1);
    }
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        const char16_t u = c.unicode();
        const bool digit = u >= u'0' && u <= u'9';
        const bool hexLetter = (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!digit && !(base == 16 && hexLetter))
            return false;
    }
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok)
        return false;
    qlonglong result;
    if (base == 16) {
        // Hexadecimal covers the whole 32-bit pattern: $FFFFFFFF is -1.
        if (magnitude > 0xFFFFFFFFull)
            return false;
        result = qlonglong(qint32(quint32(magnitude)));
        if (negative)
            result = -result;
        if (result < INT32_MIN || result > INT32_MAX)
            return false;
    } else {
        if (magnitude > (negative ? 2147483648ull : 2147483647ull))
            return false;
        result = negative ? -qlonglong(magnitude) : qlonglong(magnitude);
    }
    *value = int(result);
    return true;
}

int ProfileFile::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    const Line* line = findEntry(section, key);
    if (!line)
        return defaultValue;
    int value = 0;
    return parseInteger(readString(section, key), &value) ? value : defaultValue;
}

bool ProfileFile::readBool(QStringView section, QStringView key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::writeString(QStringView section, QStringView key, const QString& value)
{
    const QString stored = needsWrapping(value) || (whollyQuoted(value) && looksEscaped(value))
                               ? escapeAndQuote(value)
                               : value;
    Section* s = findSection(section);
    if (!s) {
        m_sections.push_back({section.toString(), true, {}});
        s = &m_sections.back();
    }
    for (Line& line : s->lines) {
        if (line.isEntry && sameName(line.key, key)) {
            line.value = stored;
            return;
        }
    }
    // New keys go after the section's last entry, before trailing blank lines.
    auto at = s->lines.end();
    while (at != s->lines.begin() && !(at - 1)->isEntry && (at - 1)->value.trimmed().isEmpty())
        --at;
    s->lines.insert(at, Line{key.toString(), stored, true});
}

void ProfileFile::writeInteger(QStringView section, QStringView key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(QStringView section, QStringView key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool ProfileFile::sectionExists(QStringView section) const { return findSection(section) != nullptr; }

bool ProfileFile::valueExists(QStringView section, QStringView key) const
{
    return findEntry(section, key) != nullptr;
}

QStringList ProfileFile::sections() const
{
    QStringList names;
    for (const Section& s : m_sections) {
        if (!s.hasHeader)
            continue;
        bool seen = false;
        for (const QString& n : names)
            seen = seen || sameName(n, s.name);
        if (!seen)
            names.append(s.name);
    }
    return names;
}

QStringList ProfileFile::keys(QStringView section) const
{
    QStringList names;
    for (const Section& s : m_sections) {
        if (!s.hasHeader || !sameName(s.name, section))
            continue;
        for (const Line& line : s.lines)
            if (line.isEntry)
                names.append(line.key);
    }
    return names;
}

void ProfileFile::eraseSection(QStringView section)
{
    std::erase_if(m_sections,
                  [&](const Section& s) { return s.hasHeader && sameName(s.name, section); });
}

void ProfileFile::deleteKey(QStringView section, QStringView key)
{
    for (Section& s : m_sections)
        if (s.hasHeader && sameName(s.name, section))
            std::erase_if(s.lines, [&](const Line& l) { return l.isEntry && sameName(l.key, key); });
}

void ProfileFile::clear() { m_sections.clear(); }

} // namespace quorvel
