// The command client against a scripted agent that records every byte.

#include "console/terminals/commandclient.h"
#include "console/terminals/uploadprogress.h"
#include "core/textcodec.h"
#include "tests/terminals/fakeagent.h"
#include "tests/terminals/testfiles.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QUdpSocket>

namespace quorvel::test {
namespace {

using Exchange = FakeAgent::Exchange;

class RecordingProgress : public UploadProgress {
public:
    void setProgress(int position) override { positions.append(position); }
    QList<int> positions;
};

class ClientFakeTest : public ::testing::Test {
protected:
    CommandClient clientFor(const FakeAgent& agent, int replyTimeoutMs = 5000) const
    {
        ClientOptions options;
        options.port = agent.port();
        options.replyTimeoutMs = replyTimeoutMs;
        options.repositoryPath = m_dir.path() + QStringLiteral("/repo/");
        return CommandClient(options);
    }
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }

    QTemporaryDir m_dir;
    const QString m_host = QStringLiteral("127.0.0.1");
};

TEST_F(ClientFakeTest, SendFileSendsTheExactLineThenTheContentInBlocks)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("FOK"); });
    // Not a multiple of 8192, so the last block is a short one.
    const QByteArray content = patternBytes(3 * 8192 + 100);
    const QString file = writeFile(path(QStringLiteral("媒体/片头 1.avi")), content);

    const CommandResult result = clientFor(agent).SendFile(m_host, file);

    EXPECT_EQ(result.status, CommandStatus::Succeeded);
    EXPECT_EQ(result.reply, QStringLiteral("FOK"));
    ASSERT_TRUE(agent.waitForConnections(1));
    const QByteArray expected =
        toGb18030(u"FIL,\"片头 1.avi\",") + QByteArray::number(content.size()) + "\r\n" + content;
    EXPECT_EQ(agent.connections().value(0), expected);
}

TEST_F(ClientFakeTest, SendFileOfAnEmptyFileSendsOnlyTheLine)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("FOK"); });
    const QString file = writeFile(path(QStringLiteral("empty.txt")), {});

    EXPECT_TRUE(clientFor(agent).SendFile(m_host, file).succeeded());
    ASSERT_TRUE(agent.waitForConnections(1));
    EXPECT_EQ(agent.connections().value(0), QByteArray("FIL,\"empty.txt\",0\r\n"));
}

TEST_F(ClientFakeTest, RefusedFileSendsNoContent)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("FFA"); });
    const QString file = writeFile(path(QStringLiteral("big.bin")), patternBytes(5000));

    const CommandResult result = clientFor(agent).SendFile(m_host, file);

    EXPECT_EQ(result.status, CommandStatus::Refused);
    EXPECT_EQ(result.reply, QStringLiteral("FFA"));
    ASSERT_TRUE(agent.waitForConnections(1));
    EXPECT_EQ(agent.connections().value(0), QByteArray("FIL,\"big.bin\",5000\r\n"));
}

TEST_F(ClientFakeTest, FileOfTwoGibibytesIsRefusedBeforeConnecting)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("FOK"); });
    QFile file(path(QStringLiteral("huge.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Sparse: takes no room on the disk.
    ASSERT_TRUE(file.resize(qint64(1) << 31));
    file.close();

    const CommandResult result = clientFor(agent).SendFile(m_host, file.fileName());

    EXPECT_EQ(result.status, CommandStatus::FileError);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(agent.waitForConnections(1, 300));
}

TEST_F(ClientFakeTest, MissingLocalFileIsAFileErrorAndNothingIsSent)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("FOK"); });
    const CommandResult result = clientFor(agent).SendFile(m_host, path(QStringLiteral("gone.avi")));
    EXPECT_EQ(result.status, CommandStatus::FileError);
    EXPECT_FALSE(agent.waitForConnections(1, 300));
}

TEST_F(ClientFakeTest, ScheduleIsSentLineByLineAsStored)
{
    QList<Exchange> seen;
    QMutex mutex;
    FakeAgent agent([&](const Exchange& exchange) {
        QMutexLocker lock(&mutex);
        seen.append(exchange);
        return FakeAgent::line("SOK");
    });
    // Mixed line ends and a last line without one: each goes out as one line.
    writeFile(path(QStringLiteral("repo/晚间.sch")),
              toGb18030(u"[Task_0]\r\nTime=08:00\nTemplate=大厅\r\n\r\nAction=PLAY"));

    EXPECT_TRUE(clientFor(agent).SendSchedule(m_host, QStringLiteral("晚间.sch")).succeeded());
    ASSERT_TRUE(agent.waitForConnections(1));
    EXPECT_EQ(agent.connections().value(0),
              toGb18030(u"SCH\r\n[Task_0]\r\nTime=08:00\r\nTemplate=大厅\r\n\r\nAction=PLAY\r\n.\r\n"));
}

TEST_F(ClientFakeTest, ScheduleResults)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("SFA"); });
    writeFile(path(QStringLiteral("repo/a.sch")), "[Task_0]\r\n");
    // A lone "." would end the body early on the terminal.
    writeFile(path(QStringLiteral("repo/dot.sch")), "[Task_0]\r\n.\r\nAction=SHUT\r\n");
    const CommandClient client = clientFor(agent);

    EXPECT_EQ(client.SendSchedule(m_host, QStringLiteral("a.sch")).status, CommandStatus::Refused);
    EXPECT_EQ(client.SendSchedule(m_host, QStringLiteral("dot.sch")).status,
              CommandStatus::FileError);
    EXPECT_EQ(client.SendSchedule(m_host, QStringLiteral("none.sch")).status,
              CommandStatus::FileError);
    ASSERT_TRUE(agent.waitForConnections(1));
    EXPECT_FALSE(agent.waitForConnections(2, 300));
}

TEST_F(ClientFakeTest, TimeIsSentInItsPattern)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("TOK"); });
    const CommandClient client = clientFor(agent);

    EXPECT_TRUE(client.SetTermTime(m_host, QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))).succeeded());
    EXPECT_TRUE(client.SetTermTime(m_host).succeeded());

    ASSERT_TRUE(agent.waitForConnections(2));
    EXPECT_EQ(agent.connections().value(0), QByteArray("TIM,2024/03/05 07:08:09\r\n"));
    static const QRegularExpression pattern(
        QStringLiteral("^TIM,\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}\r\n$"));
    EXPECT_TRUE(pattern.match(QString::fromLatin1(agent.connections().value(1))).hasMatch())
        << agent.connections().value(1).toStdString();
}

TEST_F(ClientFakeTest, ListingIsCollectedUpToTheDot)
{
    const QByteArray listingLine = toGb18030(u"\"大厅.mb\",\"120\",\"1482184704\"");
    FakeAgent agent([&](const Exchange&) {
        return FakeAgent::line("DOL") + FakeAgent::line(listingLine) +
               FakeAgent::line("\"a.avi\",\"5\",\"0\"") + FakeAgent::line(".");
    });
    QStringList listing{QStringLiteral("kept")};

    const CommandResult result = clientFor(agent).GetFileList(m_host, listing);

    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(listing, (QStringList{QStringLiteral("kept"), fromGb18030(listingLine),
                                    QStringLiteral("\"a.avi\",\"5\",\"0\"")}));
    ASSERT_TRUE(agent.waitForConnections(1));
    EXPECT_EQ(agent.connections().value(0), QByteArray("DIR\r\n"));
}

TEST_F(ClientFakeTest, ListingReplies)
{
    struct Case {
        const char* name;
        QByteArray reply;
        CommandStatus status;
    };
    const Case cases[] = {
        {"empty listing", FakeAgent::line("DOL") + FakeAgent::line("."), CommandStatus::Succeeded},
        {"refused", FakeAgent::line("DFA"), CommandStatus::Refused},
        {"cut off in the listing", FakeAgent::line("DOL") + FakeAgent::line("\"a\",\"1\",\"0\""),
         CommandStatus::Failed},
        {"closed before replying", FakeAgent::Close, CommandStatus::Failed},
    };
    for (const Case& c : cases) {
        FakeAgent agent([&](const Exchange&) {
            if (c.reply == FakeAgent::Close)
                return FakeAgent::Close;
            return c.reply + FakeAgent::Close;
        });
        QStringList listing;
        const CommandResult result = clientFor(agent, 2000).GetFileList(m_host, listing);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_TRUE(listing.isEmpty()) << c.name;
    }
}

TEST_F(ClientFakeTest, RepliesThatCountAsNoAnswer)
{
    struct Case {
        const char* name;
        QByteArray reply;
    };
    const Case cases[] = {
        {"empty line", FakeAgent::line("")},
        {"silent until the reply time-out", FakeAgent::Silent},
    };
    for (const Case& c : cases) {
        FakeAgent agent([&](const Exchange&) { return c.reply; });
        const CommandClient client = clientFor(agent, 1000);
        EXPECT_EQ(client.HelloTerm(m_host).status, CommandStatus::NotAnswered) << c.name;
        EXPECT_EQ(client.ShutdownTerm(m_host).status, CommandStatus::NotAnswered) << c.name;
        EXPECT_EQ(client.SetTermTime(m_host).status, CommandStatus::NotAnswered) << c.name;
    }
}

TEST_F(ClientFakeTest, ShortRequestsAndWhatCountsAsSuccess)
{
    struct Case {
        const char* name;
        std::function<CommandResult(const CommandClient&)> call;
        QByteArray request;
        QByteArray reply;
        CommandStatus status;
    };
    const QString host = m_host;
    const Case cases[] = {
        {"hello stopped", [&](auto& c) { return c.HelloTerm(host); }, "HLO", "STB", CommandStatus::Succeeded},
        {"hello playing", [&](auto& c) { return c.HelloTerm(host); }, "HLO", "WKG", CommandStatus::Succeeded},
        {"begin", [&](auto& c) { return c.BeginSchedule(host); }, "BEG", "COK", CommandStatus::Succeeded},
        {"begin refused", [&](auto& c) { return c.BeginSchedule(host); }, "BEG", "BFA", CommandStatus::Refused},
        {"stop", [&](auto& c) { return c.StopPlay(host); }, "STP", "COK", CommandStatus::Succeeded},
        {"shutdown, any reply", [&](auto& c) { return c.ShutdownTerm(host); }, "SHD", "XYZ", CommandStatus::Succeeded},
        {"reboot", [&](auto& c) { return c.RebootTerm(host); }, "REB", "COK", CommandStatus::Succeeded},
        {"play", [&](auto& c) { return c.PlayTermTemplate(host, QStringLiteral("大厅")); },
         toGb18030(u"PLY,大厅"), "POK", CommandStatus::Succeeded},
        {"play refused", [&](auto& c) { return c.PlayTermTemplate(host, {}); }, "PLY,", "PFA", CommandStatus::Refused},
        {"delete", [&](auto& c) { return c.DeleteTermFile(host, QStringLiteral("*")); }, "DEL,*", "DOK", CommandStatus::Succeeded},
        {"space", [&](auto& c) { return c.GetDiskSpace(host); }, "SPA", "SOK,100,-5", CommandStatus::Succeeded},
        {"space refused", [&](auto& c) { return c.GetDiskSpace(host); }, "SPA", "SFA", CommandStatus::Refused},
    };
    for (const Case& c : cases) {
        FakeAgent agent([&](const Exchange&) { return FakeAgent::line(c.reply); });
        const CommandResult result = c.call(clientFor(agent));
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.reply, fromGb18030(c.reply)) << c.name;
        ASSERT_TRUE(agent.waitForConnections(1)) << c.name;
        EXPECT_EQ(agent.connections().value(0), c.request + "\r\n") << c.name;
    }
}

TEST_F(ClientFakeTest, NoAgentListeningIsNoAnswerWithAnEmptyReply)
{
    quint16 freePort = 0;
    {
        FakeAgent agent([](const Exchange&) { return FakeAgent::line("STB"); });
        freePort = agent.port();
    }
    ClientOptions options;
    options.port = freePort;
    const CommandClient client(options);
    QStringList listing;
    for (const CommandResult& result :
         {client.HelloTerm(m_host), client.GetFileList(m_host, listing), client.GetDiskSpace(m_host),
          client.SendCommand(m_host, {QStringLiteral("HLO")})}) {
        EXPECT_EQ(result.status, CommandStatus::NotAnswered);
        EXPECT_TRUE(result.reply.isEmpty());
    }
    EXPECT_TRUE(listing.isEmpty());
}

TEST_F(ClientFakeTest, SendCommandWritesEveryLineInOrder)
{
    FakeAgent agent([](const Exchange&) { return FakeAgent::line("DOK"); });
    const CommandResult result = clientFor(agent).SendCommand(
        m_host, {QStringLiteral("DAT"), QStringLiteral("通知.mb"), QStringLiteral("[Windows]"),
                 QStringLiteral(".")});
    EXPECT_EQ(result.reply, QStringLiteral("DOK"));
    ASSERT_TRUE(agent.waitForConnections(1));
    EXPECT_EQ(agent.connections().value(0), toGb18030(u"DAT\r\n通知.mb\r\n[Windows]\r\n.\r\n"));
}

// Template uploads: the media files are real local files; the fake agent
// answers by a table and records what reached it.
class UploadTemplateTest : public ClientFakeTest {
protected:
    QString writeMedia(const QString& name, qsizetype size)
    {
        const QString file = path(QStringLiteral("media/") + name);
        writeFile(file, patternBytes(size));
        return file;
    }
    // A template whose windows play `files` (as "[F]" sources) and one text.
    QString writeTemplate(const QString& name, const QStringList& files)
    {
        QString text = QStringLiteral("[Windows]\r\nWindows Number=%1\r\n").arg(files.size() + 1);
        for (qsizetype i = 0; i < files.size(); ++i)
            text += QStringLiteral("[Window_%1]\r\nMode=2\r\nSource_0=[F]  %2 \r\n").arg(i).arg(files[i]);
        text += QStringLiteral("[Window_%1]\r\nMode=0\r\nSource_0=[T]欢迎光临\r\n").arg(files.size());
        const QString file = path(QStringLiteral("models/") + name);
        writeFile(file, toGb18030(text));
        return file;
    }
};

TEST_F(UploadTemplateTest, FilesTheTerminalHoldsAreNotSent)
{
    FakeAgent agent([](const Exchange& e) {
        return FakeAgent::line(e.line.startsWith("FEX") ? "FEY" : "DOK");
    });
    const QStringList media{writeMedia(QStringLiteral("a.avi"), 10), writeMedia(QStringLiteral("b.jpg"), 20)};
    const QString model = writeTemplate(QStringLiteral("hall.mb"), media);
    RecordingProgress progress;
    QString text;

    const CommandResult result = clientFor(agent).UploadTemplate(m_host, model, &progress, false, 50, &text);

    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(text, QStringLiteral("成功"));
    EXPECT_TRUE(progress.positions.isEmpty());
    ASSERT_TRUE(agent.waitForConnections(3));
    const QList<QByteArray> connections = agent.connections();
    ASSERT_EQ(connections.size(), 3);
    EXPECT_EQ(connections[0], toGb18030(QStringLiteral("FEX,%1\r\n").arg(media[0])));
    EXPECT_EQ(connections[1], toGb18030(QStringLiteral("FEX,%1\r\n").arg(media[1])));
    EXPECT_EQ(connections[2], "DAT\r\nhall.mb\r\n" + readFile(model) + ".\r\n");
}

TEST_F(UploadTemplateTest, SecondOfThreeFilesFailingStopsBeforeTheTemplate)
{
    int files = 0;
    FakeAgent agent([&](const Exchange& e) {
        if (e.line.startsWith("FIL"))
            return FakeAgent::line(++files == 2 ? "FFA" : "FOK");
        return FakeAgent::line("DOK");
    });
    const QStringList media{writeMedia(QStringLiteral("1.avi"), 9000),
                            writeMedia(QStringLiteral("2.avi"), 30),
                            writeMedia(QStringLiteral("3.avi"), 40)};
    const QString model = writeTemplate(QStringLiteral("三屏.mb"), media);
    RecordingProgress progress;
    QString text;

    const CommandResult result = clientFor(agent).UploadTemplate(m_host, model, &progress, true, 90, &text);

    EXPECT_EQ(result.status, CommandStatus::Refused);
    EXPECT_EQ(text, QStringLiteral("目标终端上磁盘空间不足"));
    EXPECT_EQ(progress.positions, QList<int>{30});
    ASSERT_TRUE(agent.waitForConnections(2));
    EXPECT_FALSE(agent.waitForConnections(3, 700));
    const QList<QByteArray> connections = agent.connections();
    EXPECT_EQ(connections[0], "FIL,\"1.avi\",9000\r\n" + readFile(media[0]));
    EXPECT_EQ(connections[1], QByteArray("FIL,\"2.avi\",30\r\n"));
}

TEST_F(UploadTemplateTest, MissingFilesAreAskedForThenSentWithProgress)
{
    FakeAgent agent([&](const Exchange& e) {
        if (e.line.startsWith("FEX"))
            return FakeAgent::line(e.line.endsWith("a.avi") ? "FEY" : "FEN");
        if (e.line.startsWith("FIL"))
            return FakeAgent::line("FOK");
        return FakeAgent::line("DOK");
    });
    const QStringList media{writeMedia(QStringLiteral("a.avi"), 10), writeMedia(QStringLiteral("b.avi"), 20),
                            writeMedia(QStringLiteral("c.avi"), 30)};
    const QString model = writeTemplate(QStringLiteral("m.mb"), media);
    RecordingProgress progress;
    QString text;

    EXPECT_TRUE(clientFor(agent).UploadTemplate(m_host, model, &progress, false, 100, &text).succeeded());
    EXPECT_EQ(text, QStringLiteral("成功"));
    EXPECT_EQ(progress.positions, (QList<int>{66, 100}));
    ASSERT_TRUE(agent.waitForConnections(6));
    QList<QByteArray> words;
    for (const QByteArray& line : agent.requestLines())
        words << line.left(3);
    EXPECT_EQ(words, (QList<QByteArray>{"FEX", "FEX", "FIL", "FEX", "FIL", "DAT"}));
}

TEST_F(UploadTemplateTest, TemplateWithoutFileSourcesIsOneExchange)
{
    QList<Exchange> seen;
    QMutex mutex;
    FakeAgent agent([&](const Exchange& e) {
        QMutexLocker lock(&mutex);
        seen.append(e);
        return FakeAgent::line("DOK");
    });
    const QString model = writeTemplate(QStringLiteral("text.mb"), {});
    QString text;

    EXPECT_TRUE(clientFor(agent).UploadTemplate(m_host, model, nullptr, false, 100, &text).succeeded());
    EXPECT_EQ(text, QStringLiteral("成功"));
    ASSERT_TRUE(agent.waitForConnections(1));
    EXPECT_FALSE(agent.waitForConnections(2, 300));
    QMutexLocker lock(&mutex);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].line, "DAT");
    EXPECT_EQ(seen[0].body.value(0), "text.mb");
    EXPECT_EQ(seen[0].body.mid(1).join("\r\n") + "\r\n", readFile(model));
}

TEST_F(UploadTemplateTest, OutcomesOfTheTemplateStep)
{
    const QString model = writeTemplate(QStringLiteral("t.mb"), {});
    QString text;
    {
        FakeAgent agent([](const Exchange&) { return FakeAgent::line("DFA"); });
        EXPECT_EQ(clientFor(agent).UploadTemplate(m_host, model, nullptr, false, 100, &text).status,
                  CommandStatus::Refused);
        EXPECT_EQ(text, QStringLiteral("未知错误"));
    }
    quint16 freePort;
    {
        FakeAgent agent([](const Exchange&) { return FakeAgent::line("DOK"); });
        freePort = agent.port();
    }
    ClientOptions options;
    options.port = freePort;
    const QString withFile = writeTemplate(QStringLiteral("f.mb"), {writeMedia(QStringLiteral("x.avi"), 5)});
    // Not reachable: not a matter of disk space, with or without the file question.
    for (bool overwrite : {false, true}) {
        text.clear();
        EXPECT_EQ(CommandClient(options).UploadTemplate(m_host, withFile, nullptr, overwrite, 100, &text).status,
                  CommandStatus::NotAnswered);
        EXPECT_EQ(text, QStringLiteral("未知错误"));
    }
    EXPECT_EQ(CommandClient(options).UploadTemplate(m_host, path(QStringLiteral("none.mb")), nullptr,
                                                    false, 100, &text).status,
              CommandStatus::FileError);
}

TEST_F(UploadTemplateTest, FileSourcesOfATemplate)
{
    const QString model = path(QStringLiteral("sources.mb"));
    writeFile(model, toGb18030(u"[Window_0]\r\nSource_0=[F]  D:\\媒体\\a b.avi  \r\nSource_1=[T]  text\r\n"
                               u"[Window_1]\r\nSource_0=[F]x.jpg\r\nsource_2=[F]lower.jpg\r\n"
                               u"Source_3= [F]blank-first.jpg\r\nSource_4=[F]x.jpg\r\n"));
    QStringList files{QStringLiteral("old")};
    EXPECT_EQ(CommandClient::GetTemplateFiles(model, files), 3);
    EXPECT_EQ(files, (QStringList{QStringLiteral("D:\\媒体\\a b.avi"), QStringLiteral("x.jpg"),
                                  QStringLiteral("x.jpg")}));
    EXPECT_FALSE(CommandClient::GetTemplateFiles(path(QStringLiteral("none.mb")), files).has_value());
}

TEST_F(ClientFakeTest, NoticeIsNotPlayedWhenTheFileIsRefused)
{
    for (const char* fileReply : {"FFA", "FOK"}) {
        FakeAgent agent([&](const Exchange& e) {
            return FakeAgent::line(e.line.startsWith("FIL") ? fileReply : "POK");
        });
        writeFile(path(QStringLiteral("repo/_msg.txt")), toGb18030(u"紧急通知\r\n"));
        const CommandResult result = clientFor(agent).SendNotice(m_host);
        const bool taken = QByteArray(fileReply) == "FOK";
        EXPECT_EQ(result.succeeded(), taken);
        ASSERT_TRUE(agent.waitForConnections(taken ? 2 : 1));
        if (taken) {
            EXPECT_EQ(agent.connections().value(0),
                      toGb18030(u"FIL,\"_msg.txt\",10\r\n紧急通知\r\n"));
            EXPECT_EQ(agent.connections().value(1), toGb18030(u"PLY,通知\r\n"));
        } else {
            EXPECT_FALSE(agent.waitForConnections(2, 300));
        }
    }
}

TEST(WakeTermTest, MagicPacketGoesToTheBroadcastAddressOfTheTerminal)
{
    QUdpSocket receiver;
    ASSERT_TRUE(receiver.bind(QHostAddress::AnyIPv4, 0));
    ClientOptions options;
    options.wakePort = receiver.localPort();
    const auto mac = MacAddress::fromText(u"00-E0-4c-68-12-AB");
    ASSERT_TRUE(mac);

    EXPECT_TRUE(CommandClient(options).WakeTerm(QStringLiteral("127.0.0.5"), *mac).succeeded());

    ASSERT_TRUE(receiver.waitForReadyRead(3000));
    QByteArray datagram(int(receiver.pendingDatagramSize()), Qt::Uninitialized);
    QHostAddress from;
    receiver.readDatagram(datagram.data(), datagram.size(), &from);
    ASSERT_EQ(datagram.size(), 102);
    EXPECT_EQ(datagram.left(6), QByteArray(6, char(0xFF)));
    const QByteArray macBytes = QByteArray::fromHex("00E04C6812AB");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(datagram.mid(6 + 6 * i, 6), macBytes) << i;
}

TEST(WakeTermTest, BroadcastAddresses)
{
    EXPECT_EQ(CommandClient::broadcastAddressFor(QStringLiteral("10.0.0.5")), QStringLiteral("10.0.0.255"));
    EXPECT_EQ(CommandClient::broadcastAddressFor(QStringLiteral("192.168.10.200")),
              QStringLiteral("192.168.10.255"));
    EXPECT_EQ(CommandClient::wakePacket(MacAddress()).size(), 102);
    EXPECT_EQ(CommandClient().WakeTerm(QStringLiteral("terminal"), MacAddress()).status,
              CommandStatus::Failed);
}

TEST(MacAddressTest, TextForms)
{
    struct Case {
        const char* text;
        std::optional<QString> digits;
    };
    const Case cases[] = {
        {"00E04C6812AB", QStringLiteral("00E04C6812AB")},
        {"00-e0-4c-68-12-ab", QStringLiteral("00E04C6812AB")},
        {"00:E0:4C:68:12:AB", QStringLiteral("00E04C6812AB")},
        {"00E04C6812A", std::nullopt},
        {"00E04C6812ABC", std::nullopt},
        {"00E04C6812AG", std::nullopt},
        {"00 E0 4C 68 12 AB", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto mac = MacAddress::fromText(QString::fromLatin1(c.text));
        ASSERT_EQ(mac.has_value(), c.digits.has_value()) << c.text;
        if (mac) {
            EXPECT_EQ(mac->digits(), *c.digits) << c.text;
        }
    }
    EXPECT_EQ(MacAddress::fromDigits(u"00E0ZZ68").withDashes(), QStringLiteral("00-E0-00-68-00-00"));
}

} // namespace
} // namespace quorvel::test
