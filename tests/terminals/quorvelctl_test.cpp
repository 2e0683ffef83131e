// The command-line client as a process, against the real agent on loopback.

#include "core/textcodec.h"
#include "tests/terminals/loopbackagent.h"
#include "tests/terminals/testfiles.h"

#include <QProcess>
#include <QUdpSocket>

namespace quorvel::test {
namespace {

struct CtlRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class QuorvelctlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_agent.port(), 0); }

    CtlRun run(QStringList arguments, bool withPort = true) const
    {
        if (withPort)
            arguments = QStringList{QStringLiteral("--port"), QString::number(m_agent.port())} + arguments;
        QProcess process;
        process.start(QStringLiteral(QUORVELCTL_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }

    QTemporaryDir m_dir;
    LoopbackAgent m_agent;
    const QString m_host = QStringLiteral("127.0.0.1");
};

TEST_F(QuorvelctlTest, HelpDocumentsCommandsAndExitStatus)
{
    const CtlRun help = run({QStringLiteral("--help")}, false);
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"ADDRESS", "hello", "upload TEMPLATE", "--overwrite", "wake MAC",
                             "notice FILE", "Exit status", "--port"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(word))) << word;
}

TEST_F(QuorvelctlTest, ExitStatusTellsSuccessRefusalAndSilence)
{
    m_agent.writeRepoFile(QStringLiteral("大厅.mb"), "[Windows]\r\n");
    struct Case {
        QStringList arguments;
        int exitCode;
        QString out;
    };
    const Case cases[] = {
        {{m_host, "hello"}, 0, "STB\n"},
        {{m_host, "play", "大厅"}, 0, "POK\n"},
        {{m_host, "play", "没有"}, 1, "PFA\n"},
        {{m_host, "begin"}, 1, "BFA\n"},
        {{m_host, "stop"}, 0, "COK\n"},
        {{m_host, "del", "*.avi"}, 0, "DOK\n"},
        {{m_host, "time"}, 0, "TOK\n"},
        {{m_host, "frobnicate"}, 1, ""},
        {{m_host, "play"}, 1, ""},
        {{m_host}, 1, ""},
        {{m_host, "wake", "00E04C6812"}, 1, ""},
    };
    for (const Case& c : cases) {
        const CtlRun result = run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(result.out, c.out) << c.arguments.join(u' ').toStdString();
    }
    EXPECT_TRUE(m_agent.commands().commands().last().startsWith(QStringLiteral("EXIT")));
    EXPECT_EQ(m_agent.clock().recorded().size(), 1);
}

TEST_F(QuorvelctlTest, TerminalThatDoesNotAnswerExitsTwo)
{
    quint16 port;
    {
        LoopbackAgent gone;
        port = gone.port();
    }
    const CtlRun result = run({QStringLiteral("--port"), QString::number(port), m_host,
                            QStringLiteral("hello")},
                           false);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(result.err.contains(QStringLiteral("did not answer"))) << result.err.toStdString();
}

TEST_F(QuorvelctlTest, FilesGoUpUnderTheirNamesAndAreListed)
{
    const QByteArray content = patternBytes(20000);
    const QString file = writeFile(path(QStringLiteral("本地/宣传片.avi")), content);
    EXPECT_EQ(run({m_host, QStringLiteral("send"), file}).exitCode, 0);
    EXPECT_EQ(m_agent.repoFile(QStringLiteral("宣传片.avi")), content);

    const CtlRun listing = run({m_host, QStringLiteral("dir")});
    EXPECT_EQ(listing.exitCode, 0);
    const QStringList lines = listing.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << listing.out.toStdString();
    const QStringList fields = lines[0].split(u'\t');
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0], QStringLiteral("宣传片.avi"));
    EXPECT_EQ(fields[1], QStringLiteral("20000"));

    const CtlRun space = run({m_host, QStringLiteral("space")});
    EXPECT_EQ(space.exitCode, 0);
    EXPECT_TRUE(space.out.startsWith(QStringLiteral("SOK,"))) << space.out.toStdString();
}

TEST_F(QuorvelctlTest, TemplateUploadWithItsMedia)
{
    const QString video = writeFile(path(QStringLiteral("片头.avi")), patternBytes(9000));
    const QString model = writeFile(path(QStringLiteral("门厅.mb")),
                                    toGb18030(QStringLiteral("[Windows]\r\nWindows Number=1\r\n[Window_0]\r\n"
                                                             "Mode=2\r\nSource_0=[F]%1\r\n")
                                                  .arg(video)));
    const CtlRun upload = run({m_host, QStringLiteral("upload"), model, QStringLiteral("--overwrite")});
    EXPECT_EQ(upload.exitCode, 0) << upload.err.toStdString();
    EXPECT_EQ(upload.out, QStringLiteral("成功\n"));
    EXPECT_TRUE(m_agent.repoHas(QStringLiteral("片头.avi")));
    EXPECT_TRUE(m_agent.repoHas(QStringLiteral("门厅.mb")));

    m_agent.disk().setFigures(DiskFigures{10000, 100});
    QFile::remove(m_agent.repoPath() + QStringLiteral("片头.avi"));
    const CtlRun full = run({m_host, QStringLiteral("upload"), model});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.out, QStringLiteral("目标终端上磁盘空间不足\n"));
}

TEST_F(QuorvelctlTest, NoticeTextGoesOnTheWireInGb18030)
{
    m_agent.writeRepoFile(QStringLiteral("通知.mb"), "[Windows]\r\n");
    const QString text = writeFile(path(QStringLiteral("notice.txt")), QStringLiteral("今天闭馆\n").toUtf8());
    const CtlRun result = run({m_host, QStringLiteral("notice"), text});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(m_agent.repoFile(QStringLiteral("_msg.txt")), toGb18030(u"今天闭馆\n"));
    EXPECT_EQ(m_agent.commands().commands().last(), QStringLiteral("PLAY=通知"));

    const CtlRun missing = run({m_host, QStringLiteral("notice"), path(QStringLiteral("none.txt"))});
    EXPECT_EQ(missing.exitCode, 1);
}

TEST_F(QuorvelctlTest, WakeSendsTheMagicPacket)
{
    QUdpSocket receiver;
    ASSERT_TRUE(receiver.bind(QHostAddress::AnyIPv4, 0));
    const CtlRun result = run({QStringLiteral("--wake-port"), QString::number(receiver.localPort()),
                            QStringLiteral("127.0.0.7"), QStringLiteral("wake"),
                            QStringLiteral("00:e0:4c:68:12:ab")},
                           false);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    ASSERT_TRUE(receiver.waitForReadyRead(3000));
    QByteArray datagram(int(receiver.pendingDatagramSize()), Qt::Uninitialized);
    receiver.readDatagram(datagram.data(), datagram.size());
    EXPECT_EQ(datagram.size(), 102);
    EXPECT_EQ(datagram.right(6), QByteArray::fromHex("00E04C6812AB"));
}

} // namespace
} // namespace quorvel::test
