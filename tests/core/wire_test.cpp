#include "core/textcodec.h"
#include "core/wire.h"

#include <gtest/gtest.h>

using namespace quorvel;
using namespace quorvel::wire;

TEST(Wire, RecognisesRequests)
{
    struct Case {
        const char* line;
        RequestKind kind;
        const char* argument;
    } cases[] = {
        {"HLO", RequestKind::Hello, ""},
        {"hlo", RequestKind::Unknown, ""},
        {"HLO ", RequestKind::Unknown, ""},
        {" HLO", RequestKind::Unknown, ""},
        {"BEG", RequestKind::Begin, ""},
        {"STP", RequestKind::Stop, ""},
        {"SHD", RequestKind::Shutdown, ""},
        {"REB", RequestKind::Reboot, ""},
        {"DAT", RequestKind::TemplateUpload, ""},
        {"SCH", RequestKind::ScheduleUpload, ""},
        {"DIR", RequestKind::Directory, ""},
        {"DIRX", RequestKind::Unknown, ""},
        {"SPA", RequestKind::Space, ""},
        {"PLY,hall", RequestKind::Play, "hall"},
        {"PLY,", RequestKind::Play, ""},
        {"PLY", RequestKind::Play, ""},
        {"PLYxhall", RequestKind::Play, "hall"},
        {"PLY,  hall \t", RequestKind::Play, "hall"},
        {"ply,hall", RequestKind::Unknown, ""},
        {"FEX,D:\\media\\a.mp4", RequestKind::FileExists, "D:\\media\\a.mp4"},
        {"DELabc", RequestKind::Delete, "bc"},
        {"DEL,*.*", RequestKind::Delete, "*.*"},
        {"TIM,2026/12/11 15:30:00", RequestKind::Time, "2026/12/11 15:30:00"},
        {"FIL,\"a.mp4\",3", RequestKind::File, ""},
        {"PL", RequestKind::Unknown, ""},
        {"", RequestKind::Unknown, ""},
        {"XYZ", RequestKind::Unknown, ""},
    };
    for (const Case& c : cases) {
        const Request r = parseRequest(c.line);
        EXPECT_EQ(r.kind, c.kind) << c.line;
        EXPECT_EQ(r.argument, QByteArray(c.argument)) << c.line;
    }
}

TEST(Wire, FileLine)
{
    const QString name = QString::fromUtf8("大厅 视频,1.mp4");
    const QByteArray line = formatFileLine(name, 8193);
    EXPECT_EQ(line, "FIL,\"" + toGb18030(name) + "\",8193");
    auto header = parseFileLine(line);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->name, name);
    EXPECT_EQ(header->size, 8193);

    EXPECT_EQ(parseFileLine("FIL,\" padded \",0")->name, "padded");
    EXPECT_EQ(parseFileLine("FIL,\"a\",-5")->size, -5);
    EXPECT_FALSE(parseFileLine("FIL,\"a\""));
    EXPECT_FALSE(parseFileLine("FIL,\"a\",12x"));
    EXPECT_FALSE(parseFileLine("FIL,\"a\",4294967296"));
}

TEST(Wire, ListingAndSpaceLines)
{
    const ListingEntry entry{QString::fromUtf8("通知.mb"), 1234, 0x5D8B7BD6u};
    const QByteArray line = formatListingLine(entry);
    EXPECT_EQ(line, "\"" + toGb18030(entry.name) + "\",\"1234\",\"" +
                        QByteArray::number(qint32(0x5D8B7BD6u)) + "\"");
    auto back = parseListingLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, entry.name);
    EXPECT_EQ(back->size, 1234);
    EXPECT_EQ(back->dosTime, entry.dosTime);
    EXPECT_FALSE(parseListingLine("\"a\",\"x\",\"1\""));

    EXPECT_EQ(formatSpaceReply(107374182400LL, -1000), "SOK,107374182400,-1000");
    auto space = parseSpaceReply("SOK,107374182400,-1000");
    ASSERT_TRUE(space);
    EXPECT_EQ(space->totalBytes, 107374182400LL);
    EXPECT_EQ(space->freeBytes, -1000);
    EXPECT_FALSE(parseSpaceReply("SFA"));
}

TEST(Wire, LineReaderFramesLinesAndBlocks)
{
    LineReader reader;
    QByteArray line;
    reader.append("HL");
    EXPECT_EQ(reader.takeLine(&line), LineReader::Status::NeedMore);
    reader.append("O\r\nSTP\nFIL,\"a\",5\r\nhello\r\nDIR\r\n");
    ASSERT_EQ(reader.takeLine(&line), LineReader::Status::Line);
    EXPECT_EQ(line, "HLO");
    ASSERT_EQ(reader.takeLine(&line), LineReader::Status::Line);
    EXPECT_EQ(line, "STP");
    ASSERT_EQ(reader.takeLine(&line), LineReader::Status::Line);
    EXPECT_EQ(line, "FIL,\"a\",5");
    // Raw content that came in the same packet as the line is not lost.
    EXPECT_EQ(reader.takeBytes(5), "hello");
    EXPECT_EQ(reader.takeBytes(2), "\r\n");
    ASSERT_EQ(reader.takeLine(&line), LineReader::Status::Line);
    EXPECT_EQ(line, "DIR");
    EXPECT_EQ(reader.buffered(), 0);
    EXPECT_EQ(frameLine("SOK"), "SOK\r\n");
}

TEST(Wire, LineReaderLimit)
{
    QByteArray line;
    LineReader exact;
    exact.append(QByteArray(MaxLineBytes, 'a') + "\r\n");
    ASSERT_EQ(exact.takeLine(&line), LineReader::Status::Line);
    EXPECT_EQ(line.size(), MaxLineBytes);

    LineReader longer;
    longer.append(QByteArray(MaxLineBytes + 1, 'a') + "\n");
    EXPECT_EQ(longer.takeLine(&line), LineReader::Status::TooLong);

    LineReader endless;
    endless.append(QByteArray(MaxLineBytes + 2, 'a'));
    EXPECT_EQ(endless.takeLine(&line), LineReader::Status::TooLong);
}
