#include "core/dostime.h"
#include "core/textcodec.h"
#include "tests/agent/agentfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <thread>

namespace quorvel::test {
namespace {

using Server = ServerFixture;

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + 7) % 251);
    return bytes;
}

// Waits until every connection thread has ended, so that what a closed
// connection leaves behind can be looked at.
void waitForIdle(const CommandServer& server)
{
    QElapsedTimer timer;
    timer.start();
    while (server.connectionCount() > 0 && timer.elapsed() < 5000)
        QThread::msleep(5);
}

QList<QByteArray> readUntilDot(QTcpSocket& socket)
{
    QList<QByteArray> lines;
    for (;;) {
        const QByteArray line = ServerFixture::readLine(socket);
        if (line.isEmpty() || line == ".")
            break;
        lines << line;
    }
    return lines;
}

TEST_F(Server, StatusAndQueuedCommands)
{
    EXPECT_EQ(exchangeLine("HLO"), "STB");
    m_host.setStatus("WKG");
    EXPECT_EQ(exchangeLine("HLO"), "WKG");

    EXPECT_EQ(exchangeLine("BEG"), "BFA");
    EXPECT_EQ(exchangeLine("STP"), "COK");
    writeRepoFile("playlist.ini", "");
    EXPECT_EQ(exchangeLine("BEG"), "COK");
    EXPECT_EQ(m_commands.commands(), QStringList({"EXIT=NULL", "SCHE=NULL"}));

    EXPECT_EQ(exchangeLine("SHD"), "COK");
    EXPECT_EQ(exchangeLine("REB"), "COK");
    EXPECT_EQ(m_host.posted(), QList<int>({AgentCmdShutdown, AgentCmdRestart}));
    // Power is the window's business, on its own thread.
    EXPECT_EQ(m_power.powerOffCount() + m_power.restartCount(), 0);
}

TEST_F(Server, LinesThatAreNoRequestGetNoReply)
{
    for (const QByteArray line : {"hlo", "Hlo", "HLO ", " HLO", "HL", "", "DIR x", "SPA,",
                                  "BEGIN", "XYZ,1", "pLY,a", "fil,\"a\",1"}) {
        EXPECT_TRUE(noReplyTo(line)) << line.constData();
    }
    EXPECT_TRUE(m_commands.commands().isEmpty());
    EXPECT_TRUE(repoEntries().isEmpty());
}

TEST_F(Server, LineEndsAndPipelinedRequests)
{
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, "HLO\nSTP\r\nHL");
    EXPECT_EQ(readLine(*socket), "STB");
    EXPECT_EQ(readLine(*socket), "COK");
    send(*socket, "O\r\n");
    EXPECT_EQ(readLine(*socket), "STB");
}

TEST_F(Server, PlayLooksForTheTemplateByItsExactName)
{
    writeRepoFile("a.mb", "[Common]\r\n");
    writeFile(outsidePath() + "x.mb", "");
    struct Case {
        QByteArray line;
        QByteArray reply;
    };
    const Case cases[] = {
        {"PLY,a", "POK"},        {"PLY, a \t", "POK"},  {"PLYxa", "POK"},
        {"PLY,b", "PFA"},        {"PLY,", "PFA"},       {"PLY", "PFA"},
        {"PLY,A", "PFA"},        {"PLY,../x", "PFA"},   {"PLY,*", "PFA"},
        {"PLY,a.mb", "PFA"},     {"PLY,Z:\\a", "PFA"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exchangeLine(c.line), c.reply) << c.line.constData();
    EXPECT_EQ(m_commands.commands(), QStringList({"EXIT=NULL", "PLAY=a", "EXIT=NULL", "PLAY=a",
                                                  "EXIT=NULL", "PLAY=a"}));
}

TEST_F(Server, FileExistsByBareNameOrSharedPath)
{
    writeRepoFile("a.jpg", "x");
    writeRepoFile("playlist.ini", "");
    QDir().mkpath(repoPath() + "folder");
    writeFile(sharedPath() + "sub/z.jpg", "z");
    writeFile(outsideSharedPath() + "outside.jpg", "o");
    struct Case {
        QByteArray line;
        QByteArray reply;
    };
    const Case cases[] = {
        {"FEX,a.jpg", "FEY"},
        {"FEX,C:\\media\\2024\\a.jpg", "FEY"},
        {"FEX,c:/media/a.jpg", "FEY"},
        {"FEX,D:a.jpg", "FEY"},
        {"FEXxa.jpg", "FEY"},
        {"FEX,  a.jpg  ", "FEY"},
        {"FEX,b.jpg", "FEN"},
        {"FEX,playlist.ini", "FEY"},
        {"FEX,folder", "FEN"},
        {"FEX,", "FEN"},
        {"FEX,Z:\\sub\\z.jpg", "FEY"},
        {"FEX,z:\\sub\\z.jpg", "FEY"},
        {"FEX,Z:/sub/z.jpg", "FEY"},
        {"FEX,Z:\\z.jpg", "FEN"},
        {"FEX,Z:\\a.jpg", "FEN"},
        {"FEX,Z:\\..\\outside.jpg", "FEN"},
        {"FEX,Z:\\sub\\..\\..\\outside.jpg", "FEN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exchangeLine(c.line), c.reply) << c.line.constData();
}

TEST_F(Server, FileExistsWithoutSharedFolder)
{
    m_server->close();
    Repository repository(repoPath(), QString(), m_disk);
    CommandServer server(repository, m_system, m_commands, m_host);
    ASSERT_TRUE(server.listen("127.0.0.1", 0).isEmpty());
    writeFile(sharedPath() + "z.jpg", "z");
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", server.port());
    ASSERT_TRUE(socket.waitForConnected(5000));
    send(socket, "FEX,Z:\\z.jpg\r\n");
    EXPECT_EQ(readLine(socket), "FEN");
}

TEST_F(Server, UploadBlocksAndSizes)
{
    for (const qsizetype size : {qsizetype(0), qsizetype(1), qsizetype(8192), qsizetype(8193),
                                 qsizetype(3 * 8192 + 17), qsizetype(1 << 20)}) {
        const QString name = QStringLiteral("f%1.bin").arg(size);
        const QByteArray content = pattern(size);
        std::unique_ptr<QTcpSocket> socket = connectClient();
        send(*socket, "FIL,\"" + name.toLatin1() + "\"," + QByteArray::number(size) + "\r\n");
        ASSERT_EQ(readLine(*socket), "FOK") << size;
        for (qsizetype at = 0; at < size; at += 8192)
            send(*socket, content.mid(at, 8192));
        // Back in Idle after the last byte: the next line is a request.
        send(*socket, "HLO\r\n");
        EXPECT_EQ(readLine(*socket), "STB") << size;
        EXPECT_EQ(readRepoFile(name), content) << size;
    }
    EXPECT_EQ(QFileInfo(repoPath() + "f0.bin").size(), 0);
}

TEST_F(Server, UploadWithContentInTheSameWrite)
{
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, "FIL,\"a b, c.txt\",5\r\nhelloHLO\r\n");
    EXPECT_EQ(readLine(*socket), "FOK");
    EXPECT_EQ(readLine(*socket), "STB");
    EXPECT_EQ(readRepoFile("a b, c.txt"), "hello");
}

TEST_F(Server, UploadNameInGb18030IsStoredAsUtf8)
{
    const QString name = QStringLiteral("通知图片.jpg");
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, "FIL,\"" + toGb18030(name) + "\",3\r\nabc");
    EXPECT_EQ(readLine(*socket), "FOK");
    socket->disconnectFromHost();
    waitForIdle(*m_server);
    EXPECT_EQ(readRepoFile(name), "abc");
    EXPECT_EQ(exchangeLine("FEX,C:\\x\\" + toGb18030(name)), "FEY");
}

TEST_F(Server, UploadRefusalsKeepTheOldFile)
{
    writeRepoFile("old.bin", "old content");
    m_disk.setFigures(DiskFigures{1000000, 2048 + 100});
    EXPECT_EQ(exchangeLine("FIL,\"old.bin\",100"), "FFA");
    EXPECT_EQ(exchangeLine("FIL,\"old.bin\",-1"), "FFA");
    EXPECT_EQ(readRepoFile("old.bin"), "old content");

    // The free-space test: the size must be below what is free less 2048.
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, "FIL,\"old.bin\",99\r\n");
    EXPECT_EQ(readLine(*socket), "FOK");
    send(*socket, pattern(99));
    socket->disconnectFromHost();
    waitForIdle(*m_server);
    EXPECT_EQ(readRepoFile("old.bin"), pattern(99));

    m_disk.setFigures(std::nullopt);
    EXPECT_EQ(exchangeLine("FIL,\"x.bin\",0"), "FFA");
    EXPECT_FALSE(repoHas("x.bin"));
}

TEST_F(Server, UploadLinesThatCannotBeReadGetNoReply)
{
    writeRepoFile("a.bin", "keep");
    for (const QByteArray line : {"FIL", "FIL,\"a.bin\"", "FIL,\"a.bin\",x", "FIL,\"a.bin\",",
                                  "FIL,\"a.bin\",99999999999", "FIL,\"a.bin\",1.5"})
        EXPECT_TRUE(noReplyTo(line)) << line.constData();
    // A NUL ends the line's text; the scan must not stall on it.
    EXPECT_TRUE(noReplyTo(QByteArray("FIL,\"a.bin\0\",3", 14)));
    EXPECT_TRUE(noReplyTo(QByteArray("FIL,\"x\",y\x1f\0.txt,4", 17)));
    EXPECT_EQ(readRepoFile("a.bin"), "keep");
}

TEST_F(Server, UploadNamesAreConfinedToTheRepository)
{
    for (const QByteArray line : {"FIL,\"../escape.bin\",3", "FIL,\"..\\escape.bin\",3",
                                  "FIL,\"sub/escape.bin\",3", "FIL,\"C:\\x\\escape.bin\",3",
                                  "FIL,\"Z:\\escape.bin\",3", "FIL,\"..\",3", "FIL,\"\",3",
                                  "FIL,\"*.bin\",3"})
        EXPECT_EQ(exchangeLine(line), "FFA") << line.constData();
    EXPECT_TRUE(repoEntries().isEmpty());
    EXPECT_FALSE(QFile::exists(outsidePath() + "escape.bin"));
    EXPECT_TRUE(QDir(sharedPath()).isEmpty());
}

TEST_F(Server, CutOffUploadLeavesTheOldFileAndNoPartialFile)
{
    writeRepoFile("clip.mp4", "the old clip");
    {
        std::unique_ptr<QTcpSocket> socket = connectClient();
        send(*socket, "FIL,\"clip.mp4\",100000\r\n");
        ASSERT_EQ(readLine(*socket), "FOK");
        send(*socket, pattern(40000));
        socket->abort();
    }
    waitForIdle(*m_server);
    EXPECT_EQ(readRepoFile("clip.mp4"), "the old clip");
    EXPECT_EQ(repoEntries(), QStringList({"clip.mp4"}));
    // The next connection starts in Idle, not in the middle of the content.
    EXPECT_EQ(exchangeLine("HLO"), "STB");
}

TEST_F(Server, DeleteByNameAndPattern)
{
    for (const char* name : {"a.txt", "b.txt", "c.jpg", "noext", ".hidden", "playlist.ini"})
        writeRepoFile(name, "x");
    writeFile(outsidePath() + "secret.txt", "s");
    writeFile(sharedPath() + "sub/z1.jpg", "z");
    writeFile(sharedPath() + "sub/z2.png", "z");
    writeFile(outsideSharedPath() + "outside.jpg", "o");

    EXPECT_EQ(exchangeLine("DEL,a.txt"), "DOK");
    EXPECT_EQ(exchangeLine("DEL,nothing.txt"), "DOK");
    EXPECT_EQ(exchangeLine("DEL,../secret.txt"), "DOK");
    EXPECT_EQ(exchangeLine("DEL,..\\secret.txt"), "DOK");
    EXPECT_EQ(exchangeLine("DEL,Z:\\..\\outside.jpg"), "DOK");
    EXPECT_EQ(exchangeLine("DEL,Z:\\..\\*.jpg"), "DOK");
    EXPECT_EQ(exchangeLine("DEL,Z:\\sub\\*.jpg"), "DOK");
    EXPECT_EQ(exchangeLine("DELxb.txt"), "DOK");
    EXPECT_EQ(repoEntries(), QStringList({".hidden", "c.jpg", "noext", "playlist.ini"}));
    EXPECT_TRUE(QFile::exists(outsidePath() + "secret.txt"));
    EXPECT_TRUE(QFile::exists(outsideSharedPath() + "outside.jpg"));
    EXPECT_FALSE(QFile::exists(sharedPath() + "sub/z1.jpg"));
    EXPECT_TRUE(QFile::exists(sharedPath() + "sub/z2.png"));

    EXPECT_EQ(exchangeLine("DEL,*.*"), "DOK");
    EXPECT_TRUE(repoEntries().isEmpty());
}

TEST_F(Server, SetClock)
{
    EXPECT_EQ(exchangeLine("TIM,2024/03/05 14:07:09"), "TOK");
    EXPECT_EQ(exchangeLine("TIM,2024-12-31 23:59:58"), "TOK");
    for (const QByteArray line : {"TIM,", "TIM,yesterday", "TIM,2024/02/30 10:00:00",
                                  "TIM,2024/03/05 24:00:00", "TIM,05/03/2024 14:07:09"})
        EXPECT_TRUE(noReplyTo(line)) << line.constData();
    m_clock.setFailure("not permitted");
    EXPECT_TRUE(noReplyTo("TIM,2024/03/05 14:07:09"));

    const QList<QDateTime> recorded = m_clock.recorded();
    ASSERT_EQ(recorded.size(), 2);
    EXPECT_EQ(recorded[0], QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    EXPECT_EQ(recorded[1], QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)));
}

TEST_F(Server, ListingShowsPlainVisibleFiles)
{
    {
        std::unique_ptr<QTcpSocket> socket = connectClient();
        send(*socket, "DIR\r\n");
        EXPECT_EQ(readLine(*socket), "DOL");
        EXPECT_EQ(readLine(*socket), ".");
    }
    writeRepoFile("a.txt", "abc");
    writeRepoFile(QStringLiteral("节目.mb"), "12345");
    writeRepoFile(".hidden", "x");
    writeRepoFile("playlist.ini", "x");
    QDir().mkpath(repoPath() + "folder");
    const QDateTime stamp(QDate(2023, 6, 1), QTime(12, 30, 10));
    {
        QFile file(repoPath() + "a.txt");
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, "DIR\r\n");
    ASSERT_EQ(readLine(*socket), "DOL");
    QList<QByteArray> lines = readUntilDot(*socket);
    std::sort(lines.begin(), lines.end());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "\"a.txt\",\"3\",\"" + QByteArray::number(qint32(toDosDateTime(stamp))) +
                            "\"");
    EXPECT_TRUE(lines[1].startsWith("\"" + toGb18030(QStringLiteral("节目.mb")) + "\",\"5\",\""));
}

TEST_F(Server, SpaceFigures)
{
    m_disk.setFigures(DiskFigures{1000000, 5000});
    EXPECT_EQ(exchangeLine("SPA"), "SOK,1000000,2952");
    m_disk.setFigures(DiskFigures{8000000000LL, 100});
    EXPECT_EQ(exchangeLine("SPA"), "SOK,8000000000,-1948");
    m_disk.setFigures(std::nullopt);
    EXPECT_EQ(exchangeLine("SPA"), "SFA");
}

TEST_F(Server, TemplateUploadRewritesSourcesToTheirLookupNames)
{
    writeRepoFile("a.jpg", "x");
    writeFile(sharedPath() + "sub/z.jpg", "z");
    const QList<QByteArray> body = {
        "DAT",
        "t.mb",
        "[Common]",
        "Windows Number=1",
        "[Window1]",
        "Source_1=[F]C:\\media\\a.jpg",
        "Source_2=[T]" + toGb18030(QStringLiteral("你好")),
        "Source_3=[F]  Z:\\sub\\z.jpg  ",
        "source_4=[F]C:\\not\\checked.jpg",
        ".",
    };
    EXPECT_EQ(exchange(body), QList<QByteArray>({"DOK"}));
    EXPECT_EQ(readRepoFile("t.mb"), "[Common]\r\nWindows Number=1\r\n[Window1]\r\n"
                                    "Source_1=[F]a.jpg\r\nSource_2=[T]" +
                                        toGb18030(QStringLiteral("你好")) +
                                        "\r\nSource_3=[F]Z:\\sub\\z.jpg\r\n"
                                        "source_4=[F]C:\\not\\checked.jpg\r\n");
}

TEST_F(Server, TemplateUploadRefusals)
{
    writeRepoFile("t.mb", "old");
    QDir().mkpath(repoPath() + "folder.mb");
    struct Case {
        const char* what;
        QList<QByteArray> body;
    };
    const Case cases[] = {
        {"missing media", {"DAT", "t.mb", "Source_1=[F]C:\\missing.jpg", "."}},
        {"media outside", {"DAT", "t.mb", "Source_1=[F]Z:\\..\\x.jpg", "."}},
        {"no name line", {"DAT", "."}},
        {"name with folder", {"DAT", "../evil.mb", "[Common]", "."}},
        {"name with backslash", {"DAT", "C:\\evil.mb", "[Common]", "."}},
        {"name is a folder", {"DAT", "folder.mb", "[Common]", "."}},
    };
    writeFile(outsideSharedPath() + "x.jpg", "x");
    for (const Case& c : cases) {
        std::unique_ptr<QTcpSocket> socket = connectClient();
        QByteArray bytes;
        for (const QByteArray& line : c.body)
            bytes += line + "\r\n";
        send(*socket, bytes + "HLO\r\n");
        EXPECT_EQ(readLine(*socket), "DFA") << c.what;
        EXPECT_EQ(readLine(*socket), "STB") << c.what; // back in Idle
    }
    EXPECT_EQ(readRepoFile("t.mb"), "old");
    EXPECT_FALSE(QFile::exists(outsidePath() + "evil.mb"));
    EXPECT_EQ(repoEntries(), QStringList({"folder.mb", "t.mb"}));
}

TEST_F(Server, BodyLinesAreNotRequestsAndALoneDotEndsTheBody)
{
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, "DAT\r\nt.mb\r\nHLO\r\nSTP\r\n.\r\nkey=after\r\nHLO\r\n");
    EXPECT_EQ(readLine(*socket), "DOK");
    EXPECT_EQ(readLine(*socket), "STB");
    EXPECT_EQ(readRepoFile("t.mb"), "HLO\r\nSTP\r\n");
    EXPECT_TRUE(m_commands.commands().isEmpty());
}

TEST_F(Server, ScheduleUpload)
{
    writeRepoFile("A.mb", "");
    EXPECT_EQ(exchange({"SCH", "."}), QList<QByteArray>({"SOK"}));
    EXPECT_TRUE(repoHas("playlist.ini"));
    EXPECT_EQ(readRepoFile("playlist.ini"), "");
    EXPECT_EQ(m_commands.commands(), QStringList({"EXIT=NULL", "SCHE=NULL"}));

    const QList<QByteArray> schedule = {"[TASK_1]", "TIME=08:00", "CMD=0", "MODULE=A",
                                        "[TASK_2]", "TIME=22:00", "CMD=1", "MODULE="};
    EXPECT_EQ(exchange(QList<QByteArray>{"SCH"} + schedule + QList<QByteArray>{"."}),
              QList<QByteArray>({"SOK"}));
    const QByteArray stored = readRepoFile("playlist.ini");
    EXPECT_EQ(stored, schedule.join("\r\n") + "\r\n");

    for (const QByteArray module : {"B", "../A", "Z:\\A", "*"})
        EXPECT_EQ(exchange({"SCH", "[TASK_1]", "TIME=08:00", "MODULE=" + module, "."}),
                  QList<QByteArray>({"SFA"}))
            << module.constData();
    EXPECT_EQ(readRepoFile("playlist.ini"), stored);
    EXPECT_EQ(m_commands.commands().size(), 4);
}

TEST_F(Server, ScheduleThatCannotBeStoredIsRefused)
{
    QDir().mkpath(repoPath() + "playlist.ini/x");
    EXPECT_EQ(exchange({"SCH", "[TASK_1]", "TIME=08:00", "."}), QList<QByteArray>({"SFA"}));
    EXPECT_TRUE(m_commands.commands().isEmpty());
    EXPECT_EQ(exchangeLine("HLO"), "STB");
}

TEST_F(Server, ProtocolStateBelongsToEachConnection)
{
    writeRepoFile("a.jpg", "x");
    std::unique_ptr<QTcpSocket> first = connectClient();
    std::unique_ptr<QTcpSocket> second = connectClient();
    send(*first, "DAT\r\none.mb\r\nline of one\r\n");
    send(*second, "HLO\r\nDAT\r\ntwo.mb\r\nline of two\r\n");
    EXPECT_EQ(readLine(*second), "STB");
    send(*first, "more of one\r\n.\r\n");
    send(*second, ".\r\n");
    EXPECT_EQ(readLine(*first), "DOK");
    EXPECT_EQ(readLine(*second), "DOK");
    EXPECT_EQ(readRepoFile("one.mb"), "line of one\r\nmore of one\r\n");
    EXPECT_EQ(readRepoFile("two.mb"), "line of two\r\n");
    first->abort();
    second->abort();

    // A body cut off by a closed connection is gone with it.
    {
        std::unique_ptr<QTcpSocket> cut = connectClient();
        send(*cut, "SCH\r\n[TASK_1]\r\n");
        cut->abort();
    }
    waitForIdle(*m_server);
    EXPECT_TRUE(noReplyTo("."));
    EXPECT_FALSE(repoHas("playlist.ini"));
}

TEST_F(Server, ConcurrentUploadsDoNotMix)
{
    constexpr int clients = 6;
    std::vector<std::thread> threads;
    std::vector<QByteArray> replies(clients);
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([this, i, &replies] {
            QTcpSocket socket;
            socket.connectToHost("127.0.0.1", m_server->port());
            if (!socket.waitForConnected(5000))
                return;
            const QByteArray content = pattern(100000 + i * 1000).mid(i);
            send(socket, "FIL,\"c" + QByteArray::number(i) + ".bin\"," +
                             QByteArray::number(content.size()) + "\r\n");
            replies[i] = readLine(socket);
            for (qsizetype at = 0; at < content.size(); at += 8192)
                send(socket, content.mid(at, 8192));
            send(socket, "HLO\r\n");
            readLine(socket);
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (int i = 0; i < clients; ++i) {
        EXPECT_EQ(replies[i], "FOK") << i;
        EXPECT_EQ(readRepoFile(QStringLiteral("c%1.bin").arg(i)), pattern(100000 + i * 1000).mid(i))
            << i;
    }
}

TEST_F(Server, OverlongLineClosesOnlyThatConnection)
{
    std::unique_ptr<QTcpSocket> bystander = connectClient();
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, QByteArray(16385, 'A'));
    EXPECT_TRUE(closedByServer(*socket));

    // A line of exactly the limit is a line (one that asks for nothing).
    EXPECT_TRUE(noReplyTo(QByteArray(16384, 'A')));
    send(*bystander, "HLO\r\n");
    EXPECT_EQ(readLine(*bystander), "STB");
}

TEST_F(Server, CloseEndsOpenConnectionsAndGivesUpUploads)
{
    writeRepoFile("big.bin", "old");
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 4; ++i)
        idle.push_back(connectClient());
    std::unique_ptr<QTcpSocket> uploader = connectClient();
    send(*uploader, "FIL,\"big.bin\",1000000\r\n");
    ASSERT_EQ(readLine(*uploader), "FOK");
    send(*uploader, pattern(30000));
    send(*idle[0], "DAT\r\nx.mb\r\n");
    EXPECT_EQ(exchangeLine("HLO"), "STB");

    m_server->close();
    EXPECT_FALSE(m_server->isListening());
    EXPECT_EQ(m_server->connectionCount(), 0);
    EXPECT_TRUE(closedByServer(*uploader));
    for (auto& socket : idle)
        EXPECT_TRUE(closedByServer(*socket));
    EXPECT_EQ(readRepoFile("big.bin"), "old");
    EXPECT_EQ(repoEntries(), QStringList({"big.bin"}));
}

TEST_F(Server, ManyServersStartAndStop)
{
    m_server->close();
    for (int i = 0; i < 25; ++i) {
        CommandServer server(*m_repository, m_system, m_commands, m_host);
        ASSERT_TRUE(server.listen("127.0.0.1", 0).isEmpty());
        QTcpSocket socket;
        socket.connectToHost("127.0.0.1", server.port());
        ASSERT_TRUE(socket.waitForConnected(5000));
        if (i % 2 == 0) {
            send(socket, "HLO\r\n");
            EXPECT_EQ(readLine(socket), "STB");
        }
        server.close();
    }
}

TEST_F(Server, ListenFailuresAreReported)
{
    CommandServer second(*m_repository, m_system, m_commands, m_host);
    EXPECT_FALSE(second.listen("127.0.0.1", m_server->port()).isEmpty());
    EXPECT_FALSE(second.isListening());
    EXPECT_FALSE(second.listen("not an address", 0).isEmpty());
    // The failed attempts leave a server that can still listen.
    EXPECT_TRUE(second.listen("127.0.0.1", 0).isEmpty());
}

TEST_F(Server, StaleUploadFilesAreRemovedAtStart)
{
    m_server->close();
    writeRepoFile(QLatin1String(UploadFile::TempPrefix) + "abc123", "partial");
    writeRepoFile("keep.bin", "k");
    CommandServer server(*m_repository, m_system, m_commands, m_host);
    ASSERT_TRUE(server.listen("127.0.0.1", 0).isEmpty());
    EXPECT_EQ(repoEntries(), QStringList({"keep.bin"}));
}

} // namespace
} // namespace quorvel::test
