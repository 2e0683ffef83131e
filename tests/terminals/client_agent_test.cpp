// The command client against the real agent server on loopback.

#include "console/terminals/commandclient.h"
#include "console/terminals/uploadprogress.h"
#include "core/textcodec.h"
#include "core/wire.h"
#include "tests/terminals/loopbackagent.h"
#include "tests/terminals/testfiles.h"

namespace quorvel::test {
namespace {

class ClientAgentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(m_agent.port(), 0);
        ClientOptions options;
        options.port = m_agent.port();
        options.repositoryPath = m_dir.path() + QStringLiteral("/repo/");
        m_client = CommandClient(options);
    }
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }

    QTemporaryDir m_dir;
    LoopbackAgent m_agent;
    CommandClient m_client;
    const QString m_host = QStringLiteral("127.0.0.1");
};

TEST_F(ClientAgentTest, StatusAndShortCommands)
{
    EXPECT_EQ(m_client.HelloTerm(m_host).reply, QStringLiteral("STB"));
    m_agent.host().setStatus("WKG");
    EXPECT_EQ(m_client.HelloTerm(m_host).reply, QStringLiteral("WKG"));

    EXPECT_EQ(m_client.BeginSchedule(m_host).status, CommandStatus::Refused);
    EXPECT_TRUE(m_client.StopPlay(m_host).succeeded());
    EXPECT_EQ(m_client.PlayTermTemplate(m_host, QStringLiteral("大厅")).status, CommandStatus::Refused);
    m_agent.writeRepoFile(QStringLiteral("大厅.mb"), "[Windows]\r\n");
    EXPECT_TRUE(m_client.PlayTermTemplate(m_host, QStringLiteral("大厅")).succeeded());
    EXPECT_EQ(m_agent.commands().commands().last(), QStringLiteral("PLAY=大厅"));

    EXPECT_TRUE(m_client.ShutdownTerm(m_host).succeeded());
    EXPECT_TRUE(m_client.RebootTerm(m_host).succeeded());
    EXPECT_EQ(m_agent.host().posted(), (QList<int>{AgentCmdShutdown, AgentCmdRestart}));
}

TEST_F(ClientAgentTest, ClockTextIsReadByTheAgent)
{
    const QDateTime when(QDate(2025, 12, 31), QTime(23, 59, 58));
    EXPECT_TRUE(m_client.SetTermTime(m_host, when).succeeded());
    EXPECT_EQ(m_agent.clock().recorded(), QList<QDateTime>{when});
}

TEST_F(ClientAgentTest, FilesGoUpAreListedAndDeleted)
{
    const QByteArray content = patternBytes(100000);
    ASSERT_TRUE(m_client.SendFile(m_host, writeFile(path(QStringLiteral("本地/片头.avi")), content))
                    .succeeded());
    ASSERT_TRUE(m_client.SendFile(m_host, writeFile(path(QStringLiteral("empty.txt")), {})).succeeded());
    EXPECT_EQ(m_agent.repoFile(QStringLiteral("片头.avi")), content);
    EXPECT_TRUE(m_agent.repoHas(QStringLiteral("empty.txt")));

    QStringList listing;
    EXPECT_TRUE(m_client.GetFileList(m_host, listing).succeeded());
    QStringList names;
    for (const QString& line : std::as_const(listing)) {
        const auto entry = wire::parseListingLine(toGb18030(line));
        ASSERT_TRUE(entry) << line.toStdString();
        names << entry->name;
        if (entry->name == QStringLiteral("片头.avi")) {
            EXPECT_EQ(entry->size, content.size());
        }
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("empty.txt"), QStringLiteral("片头.avi")}));

    const CommandResult space = m_client.GetDiskSpace(m_host);
    EXPECT_TRUE(space.succeeded());
    EXPECT_EQ(space.reply, QStringLiteral("SOK,%1,%2").arg(100LL << 30).arg((50LL << 30) - 2048));

    EXPECT_TRUE(m_client.DeleteTermFile(m_host, QStringLiteral("*")).succeeded());
    listing.clear();
    EXPECT_TRUE(m_client.GetFileList(m_host, listing).succeeded());
    EXPECT_TRUE(listing.isEmpty());
}

TEST_F(ClientAgentTest, FileTheDiskCannotHoldIsRefused)
{
    m_agent.disk().setFigures(DiskFigures{100000, 3000});
    EXPECT_EQ(m_client.SendFile(m_host, writeFile(path(QStringLiteral("a.bin")), patternBytes(2000))).status,
              CommandStatus::Refused);
    EXPECT_FALSE(m_agent.repoHas(QStringLiteral("a.bin")));
}

TEST_F(ClientAgentTest, TemplateGoesUpWithItsMediaAndIsPlayable)
{
    const QString video = writeFile(path(QStringLiteral("media/宣传片.avi")), patternBytes(20000));
    const QString picture = writeFile(path(QStringLiteral("media/logo.jpg")), patternBytes(300));
    const QString model = writeFile(
        path(QStringLiteral("models/大厅.mb")),
        toGb18030(QStringLiteral("[Windows]\r\nWindows Number=2\r\n[Window_0]\r\nMode=2\r\n"
                                 "Source_0=[F]%1\r\nSource_1=[F]%2\r\n[Window_1]\r\nMode=0\r\n"
                                 "Source_0=[T]欢迎\r\n")
                      .arg(video, picture)));
    QString text;

    const CommandResult result = m_client.UploadTemplate(m_host, model, nullptr, false, 100, &text);

    EXPECT_TRUE(result.succeeded()) << result.reply.toStdString() << result.error.toStdString();
    EXPECT_EQ(text, QStringLiteral("成功"));
    EXPECT_EQ(m_agent.repoFile(QStringLiteral("宣传片.avi")), readFile(video));
    EXPECT_EQ(m_agent.repoFile(QStringLiteral("logo.jpg")), readFile(picture));
    const QString stored = fromGb18030(m_agent.repoFile(QStringLiteral("大厅.mb")));
    EXPECT_TRUE(stored.contains(QStringLiteral("Source_0=[F]宣传片.avi"))) << stored.toStdString();
    EXPECT_TRUE(m_client.PlayTermTemplate(m_host, QStringLiteral("大厅")).succeeded());

    // Again: the terminal holds both files now, so only the template goes.
    QFile::remove(video);
    EXPECT_TRUE(m_client.UploadTemplate(m_host, model, nullptr, false, 100, &text).succeeded());
    EXPECT_EQ(text, QStringLiteral("成功"));
}

TEST_F(ClientAgentTest, SchedulesAreStoredOrRefused)
{
    writeFile(path(QStringLiteral("repo/空.sch")), {});
    writeFile(path(QStringLiteral("repo/缺.sch")), toGb18030(u"[Task_0]\r\nMODULE=没有\r\n"));

    EXPECT_EQ(m_client.SendSchedule(m_host, QStringLiteral("缺.sch")).status, CommandStatus::Refused);
    EXPECT_EQ(m_client.BeginSchedule(m_host).status, CommandStatus::Refused);
    EXPECT_TRUE(m_client.SendSchedule(m_host, QStringLiteral("空.sch")).succeeded());
    EXPECT_TRUE(m_agent.repoHas(QStringLiteral("playlist.ini")));
    EXPECT_TRUE(m_client.BeginSchedule(m_host).succeeded());
}

TEST_F(ClientAgentTest, NoticeIsStoredAndPlayed)
{
    writeFile(path(QStringLiteral("repo/_msg.txt")), toGb18030(u"今日闭馆\r\n"));
    m_agent.writeRepoFile(QStringLiteral("通知.mb"), "[Windows]\r\n");
    EXPECT_TRUE(m_client.SendNotice(m_host).succeeded());
    EXPECT_EQ(m_agent.repoFile(QStringLiteral("_msg.txt")), toGb18030(u"今日闭馆\r\n"));
    EXPECT_EQ(m_agent.commands().commands().last(), QStringLiteral("PLAY=通知"));
}

} // namespace
} // namespace quorvel::test
