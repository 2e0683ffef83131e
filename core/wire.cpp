#include "core/wire.h"

#include "core/commatext.h"
#include "core/profilefile.h"
#include "core/textcodec.h"

#include <array>

namespace quorvel::wire {
namespace {

QByteArrayView trimControl(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && quint8(bytes[begin]) <= 0x20)
        ++begin;
    while (end > begin && quint8(bytes[end - 1]) <= 0x20)
        --end;
    return bytes.sliced(begin, end - begin);
}

struct WordKind {
    const char* word;
    RequestKind kind;
};

constexpr std::array wholeLineRequests{
    WordKind{Hello, RequestKind::Hello},
    WordKind{Begin, RequestKind::Begin},
    WordKind{Stop, RequestKind::Stop},
    WordKind{Shutdown, RequestKind::Shutdown},
    WordKind{Reboot, RequestKind::Reboot},
    WordKind{TemplateUpload, RequestKind::TemplateUpload},
    WordKind{ScheduleUpload, RequestKind::ScheduleUpload},
    WordKind{Directory, RequestKind::Directory},
    WordKind{Space, RequestKind::Space},
};

constexpr std::array prefixedRequests{
    WordKind{Play, RequestKind::Play},
    WordKind{FileExists, RequestKind::FileExists},
    WordKind{File, RequestKind::File},
    WordKind{Delete, RequestKind::Delete},
    WordKind{Time, RequestKind::Time},
};

} // namespace

Request parseRequest(QByteArrayView line)
{
    for (const WordKind& w : wholeLineRequests)
        if (line == QByteArrayView(w.word))
            return {w.kind, {}};
    if (line.size() < 3)
        return {};
    for (const WordKind& w : prefixedRequests) {
        if (line.first(3) != QByteArrayView(w.word))
            continue;
        Request request{w.kind, {}};
        if (w.kind != RequestKind::File && line.size() > 4)
            request.argument = trimControl(line.sliced(4)).toByteArray();
        return request;
    }
    return {};
}

QByteArray frameLine(QByteArrayView line)
{
    QByteArray framed;
    framed.reserve(line.size() + 2);
    framed.append(line);
    framed.append("\r\n");
    return framed;
}

std::optional<FileHeader> parseFileLine(QByteArrayView line)
{
    const QStringList items = splitCommaText(fromGb18030(line));
    if (items.size() < 3)
        return std::nullopt;
    int size = 0;
    if (!ProfileFile::parseInteger(items[2], &size))
        return std::nullopt;
    return FileHeader{items[1].trimmed(), size};
}

QByteArray formatFileLine(const QString& bareName, qint32 size)
{
    return QByteArrayLiteral("FIL,\"") + toGb18030(bareName) + QByteArrayLiteral("\",") +
           QByteArray::number(size);
}

QByteArray formatListingLine(const ListingEntry& entry)
{
    return '"' + toGb18030(entry.name) + QByteArrayLiteral("\",\"") +
           QByteArray::number(entry.size) + QByteArrayLiteral("\",\"") +
           QByteArray::number(qint32(entry.dosTime)) + '"';
}

std::optional<ListingEntry> parseListingLine(QByteArrayView line)
{
    const QStringList items = splitCommaText(fromGb18030(line));
    if (items.size() != 3)
        return std::nullopt;
    int size = 0;
    int time = 0;
    if (!ProfileFile::parseInteger(items[1], &size) || !ProfileFile::parseInteger(items[2], &time))
        return std::nullopt;
    return ListingEntry{items[0], size, uint32_t(time)};
}

QByteArray formatSpaceReply(qint64 totalBytes, qint64 freeBytes)
{
    return QByteArrayLiteral("SOK,") + QByteArray::number(totalBytes) + ',' +
           QByteArray::number(freeBytes);
}

std::optional<SpaceFigures> parseSpaceReply(QByteArrayView line)
{
    if (!line.startsWith("SOK,"))
        return std::nullopt;
    const QList<QByteArray> parts = line.sliced(4).toByteArray().split(',');
    if (parts.size() != 2)
        return std::nullopt;
    bool totalOk = false;
    bool freeOk = false;
    SpaceFigures figures{parts[0].toLongLong(&totalOk), parts[1].toLongLong(&freeOk)};
    if (!totalOk || !freeOk)
        return std::nullopt;
    return figures;
}

LineReader::Status LineReader::takeLine(QByteArray* line)
{
    const qsizetype lf = m_buffer.indexOf('\n', m_start);
    if (lf < 0) {
        // A CR may still come before its LF, so one byte more is allowed,
        // but only while that byte is a CR: a peer that stops right after a
        // byte too many must not be waited for.
        if (buffered() > MaxLineBytes + 1 ||
            (buffered() == MaxLineBytes + 1 && m_buffer.back() != '\r'))
            return Status::TooLong;
        return Status::NeedMore;
    }
    qsizetype end = lf;
    if (end > m_start && m_buffer[end - 1] == '\r')
        --end;
    if (end - m_start > MaxLineBytes)
        return Status::TooLong;
    *line = m_buffer.mid(m_start, end - m_start);
    m_start = lf + 1;
    compact();
    return Status::Line;
}

QByteArray LineReader::takeBytes(qsizetype maxBytes)
{
    const qsizetype n = std::min(maxBytes, buffered());
    QByteArray bytes = m_buffer.mid(m_start, n);
    m_start += n;
    compact();
    return bytes;
}

void LineReader::compact()
{
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    } else if (m_start > 65536 && m_start > m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
}

} // namespace quorvel::wire
