#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// The console-agent protocol on TCP port 5004: one request per connection,
// lines ended by CR LF, replies of three letters. Text on the wire is
// GB18030; these functions take and give the raw bytes of a line (without
// its terminator) and leave the conversion to the caller unless noted.
namespace quorvel::wire {

inline constexpr uint16_t DefaultPort = 5004;
inline constexpr qsizetype MaxLineBytes = 16384; // terminator not counted
inline constexpr qsizetype ChunkBytes = 8192;    // file content block
inline constexpr int ConnectTimeoutMs = 1000;
inline constexpr int PauseAfterFileMs = 500;
inline constexpr qint64 UploadMarginBytes = 2048;

// Request words
inline constexpr char Hello[] = "HLO";
inline constexpr char Begin[] = "BEG";
inline constexpr char Stop[] = "STP";
inline constexpr char Shutdown[] = "SHD";
inline constexpr char Reboot[] = "REB";
inline constexpr char TemplateUpload[] = "DAT";
inline constexpr char ScheduleUpload[] = "SCH";
inline constexpr char Directory[] = "DIR";
inline constexpr char Space[] = "SPA";
inline constexpr char Play[] = "PLY";
inline constexpr char FileExists[] = "FEX";
inline constexpr char File[] = "FIL";
inline constexpr char Delete[] = "DEL";
inline constexpr char Time[] = "TIM";
inline constexpr char BodyEnd[] = ".";

// Reply words
inline constexpr char Standby[] = "STB";
inline constexpr char Working[] = "WKG";
inline constexpr char CommandOk[] = "COK";
inline constexpr char BeginFailed[] = "BFA";
inline constexpr char PlayOk[] = "POK";
inline constexpr char PlayFailed[] = "PFA";
inline constexpr char FileFound[] = "FEY";
inline constexpr char FileNotFound[] = "FEN";
inline constexpr char FileOk[] = "FOK";
inline constexpr char FileFailed[] = "FFA";
inline constexpr char DataOk[] = "DOK"; // template stored, DEL done
inline constexpr char DataFailed[] = "DFA";
inline constexpr char TimeOk[] = "TOK";
inline constexpr char ListingStart[] = "DOL";
inline constexpr char ScheduleOk[] = "SOK"; // also the start of the SPA reply
inline constexpr char ScheduleFailed[] = "SFA"; // also SPA failed

enum class RequestKind {
    Unknown,
    Hello,
    Begin,
    Stop,
    Shutdown,
    Reboot,
    TemplateUpload,
    ScheduleUpload,
    Directory,
    Space,
    Play,
    FileExists,
    File,
    Delete,
    Time,
};

struct Request {
    RequestKind kind = RequestKind::Unknown;
    // For PLY, FEX, DEL and TIM: the line without its first four bytes,
    // trimmed of blanks and control characters at both ends. Empty otherwise.
    QByteArray argument;
};

// Whole-line requests match the line exactly; prefixed requests match their
// first three bytes, whatever the fourth. Case matters.
Request parseRequest(QByteArrayView line);

// The line with CR LF appended.
QByteArray frameLine(QByteArrayView line);

// "FIL" line: FIL,"name",size
struct FileHeader {
    QString name; // trimmed, as it came (may hold separators: callers confine it)
    qint64 size = 0; // read as a signed 32-bit number
};
// std::nullopt for a missing item or a size that is not a 32-bit integer.
std::optional<FileHeader> parseFileLine(QByteArrayView line);
QByteArray formatFileLine(const QString& bareName, qint32 size);

// One line of the DIR listing: "name","size","dostime"
struct ListingEntry {
    QString name;
    qint32 size = 0;
    uint32_t dosTime = 0;
};
QByteArray formatListingLine(const ListingEntry& entry);
std::optional<ListingEntry> parseListingLine(QByteArrayView line);

// "SOK,total,free" with 64-bit figures; free may be negative.
QByteArray formatSpaceReply(qint64 totalBytes, qint64 freeBytes);
struct SpaceFigures {
    qint64 totalBytes = 0;
    qint64 freeBytes = 0;
};
std::optional<SpaceFigures> parseSpaceReply(QByteArrayView line);

// Splits a byte stream into protocol lines: a line ends at LF, and one CR
// right before the LF is dropped. Raw blocks (file content) are taken from
// the same buffer, so bytes that arrived together with a line are not lost.
class LineReader {
public:
    enum class Status { Line, NeedMore, TooLong };

    void append(QByteArrayView bytes) { m_buffer.append(bytes); }
    // On Line, `line` holds the line without its terminator. TooLong: more
    // than MaxLineBytes arrived without a line end; the buffer is unusable.
    Status takeLine(QByteArray* line);
    // Up to `maxBytes` raw bytes from the buffer (possibly none).
    QByteArray takeBytes(qsizetype maxBytes);
    qsizetype buffered() const { return m_buffer.size() - m_start; }

private:
    void compact();
    QByteArray m_buffer;
    qsizetype m_start = 0;
};

} // namespace quorvel::wire
