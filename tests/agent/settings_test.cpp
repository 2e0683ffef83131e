#include "agent/agentplatform.h"
#include "agent/agentsettings.h"
#include "core/textcodec.h"
#include "platform/system/commandpowercontrol.h"
#include "platform/system/commandsystemclock.h"
#include "platform/system/statvfsdiskspace.h"
#include "tests/agent/qtprinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

// A program folder with its own "tarrow.ini".
class Settings : public ::testing::Test {
protected:
    QString programDir() const { return m_dir.path(); }

    AgentSettings loadWith(const QString& ini) const
    {
        QFile file(AgentSettings::fileFor(programDir()));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(toGb18030(ini));
        file.close();
        return AgentSettings::load(programDir());
    }

    // A shell script in the program folder; its path is returned.
    QString script(const QString& name, const QByteArray& body) const
    {
        const QString path = programDir() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    // A detached command runs on its own time: wait for its mark.
    static bool appears(const QString& path)
    {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(path) && timer.elapsed() < 10000)
            QThread::msleep(10);
        return QFile::exists(path);
    }

    QTemporaryDir m_dir;
};

TEST_F(Settings, NoFileGivesTheDefaults)
{
    const AgentSettings settings = AgentSettings::load(programDir());
    EXPECT_EQ(settings.repositoryPath, programDir() + "/Repositories/");
    EXPECT_EQ(settings.sharedPath, "");
    EXPECT_EQ(settings.port, 5004);
    EXPECT_EQ(settings.bindAddress, "");
    EXPECT_EQ(settings.shutdownCommand, "systemctl poweroff");
    EXPECT_EQ(settings.rebootCommand, "systemctl reboot");
    EXPECT_EQ(settings.setClockCommand, "");
    EXPECT_EQ(settings.stopTimeoutSeconds, 30);
}

TEST_F(Settings, EveryKeyIsRead)
{
    const AgentSettings settings =
        loadWith("[Repositories]\r\npath=/srv/signage/repo\r\nshared=/mnt/z\\\r\n"
                 "[Server]\r\nPort=5010\r\nBind=127.0.0.2\r\n"
                 "[System]\r\nShutdown=/bin/echo off\r\nReboot=/bin/echo again\r\n"
                 "SetClock=sudo /usr/local/bin/setclock\r\nStopTimeout=5\r\n");
    EXPECT_EQ(settings.repositoryPath, "/srv/signage/repo/");
    EXPECT_EQ(settings.sharedPath, "/mnt/z/");
    EXPECT_EQ(settings.port, 5010);
    EXPECT_EQ(settings.bindAddress, "127.0.0.2");
    EXPECT_EQ(settings.shutdownCommand, "/bin/echo off");
    EXPECT_EQ(settings.rebootCommand, "/bin/echo again");
    EXPECT_EQ(settings.setClockCommand, "sudo /usr/local/bin/setclock");
    EXPECT_EQ(settings.stopTimeoutSeconds, 5);
}

TEST_F(Settings, FoldersAreTakenFromTheProgramFolder)
{
    struct Case {
        QString value;
        QString path; // below the program folder unless absolute
    };
    const Case cases[] = {
        {"data", "/data/"},
        {"data/", "/data/"},
        {"data\\", "/data/"},
        {"..\\Terminal\\Repositories\\", "/../Terminal/Repositories/"},
        {"./a/../b", "/b/"},
        {"\"with blanks\"", "/with blanks/"},
        {"节目库", "/节目库/"},
        {"/abs/olute", "/abs/olute/"},
    };
    for (const Case& c : cases) {
        const AgentSettings settings = loadWith("[REPOSITORIES]\r\nPath=" + c.value +
                                                "\r\nSHARED=" + c.value + "\r\n");
        const QString expected = c.path.startsWith(QLatin1String("/abs"))
                                     ? c.path
                                     : QDir::cleanPath(programDir() + c.path) + u'/';
        EXPECT_EQ(settings.repositoryPath, expected) << c.value.toStdString();
        EXPECT_EQ(settings.sharedPath, expected) << c.value.toStdString();
    }
}

TEST_F(Settings, ValuesOutOfRangeGiveTheDefaults)
{
    for (const char* port : {"0", "65536", "-1", "abc", ""})
        EXPECT_EQ(loadWith(QStringLiteral("[Server]\nPort=%1\n").arg(port)).port, 5004) << port;
    EXPECT_EQ(loadWith("[Server]\nPort=65535\n").port, 65535);
    for (const char* timeout : {"0", "-5", "x"})
        EXPECT_EQ(loadWith(QStringLiteral("[System]\nStopTimeout=%1\n").arg(timeout))
                      .stopTimeoutSeconds,
                  30)
            << timeout;
    // An empty command keeps the default rather than leaving no command.
    const AgentSettings settings = loadWith("[System]\nShutdown=\nReboot=\nSetClock=\n");
    EXPECT_EQ(settings.shutdownCommand, "systemctl poweroff");
    EXPECT_EQ(settings.rebootCommand, "systemctl reboot");
    EXPECT_EQ(settings.setClockCommand, "");
}

TEST_F(Settings, TheClockCommandGetsTheNewLocalTime)
{
    const QString setter =
        script("setclock.sh", "printf '%s|%s' \"$1\" \"$2\" > \"$(dirname \"$0\")/clock.txt\"\n");
    AgentSettings settings = AgentSettings::load(programDir());
    settings.setClockCommand = setter + " --local";
    const AgentPlatform platform = AgentPlatform::fromSettings(settings);
    QString error;
    ASSERT_TRUE(platform.clock->setLocalTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), &error))
        << error.toStdString();
    QFile written(programDir() + "/clock.txt");
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "--local|2024-03-05 14:07:09");

    CommandSystemClock failing(script("refuse.sh", "exit 3\n"));
    EXPECT_FALSE(failing.setLocalTime(QDateTime::currentDateTime(), &error));
    EXPECT_TRUE(error.contains("3")) << error.toStdString();
    CommandSystemClock absent(programDir() + "/no-such-program");
    error.clear();
    EXPECT_FALSE(absent.setLocalTime(QDateTime::currentDateTime(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(Settings, PowerCommandsComeFromTheSettings)
{
    AgentSettings settings = AgentSettings::load(programDir());
    settings.shutdownCommand = QStringLiteral("/usr/bin/touch \"%1/off mark\"").arg(programDir());
    settings.rebootCommand = QStringLiteral("/usr/bin/touch %1/restart").arg(programDir());
    const AgentPlatform platform = AgentPlatform::fromSettings(settings);
    QString error;
    ASSERT_TRUE(platform.power->powerOff(&error)) << error.toStdString();
    EXPECT_TRUE(appears(programDir() + "/off mark"));
    EXPECT_FALSE(QFile::exists(programDir() + "/restart"));
    ASSERT_TRUE(platform.power->restart(&error)) << error.toStdString();
    EXPECT_TRUE(appears(programDir() + "/restart"));

    CommandPowerControl unusable(QString(), programDir() + "/no-such-program");
    error.clear();
    EXPECT_FALSE(unusable.powerOff(&error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(unusable.restart(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(DiskSpaceLayer, FiguresOfARealFolder)
{
    QTemporaryDir dir;
    const StatvfsDiskSpace disk;
    const std::optional<DiskFigures> figures = disk.query(dir.path());
    ASSERT_TRUE(figures);
    EXPECT_GT(figures->totalBytes, 0);
    EXPECT_GE(figures->availableBytes, 0);
    EXPECT_LE(figures->availableBytes, figures->totalBytes);
    EXPECT_FALSE(disk.query(dir.path() + "/missing"));
}

} // namespace
} // namespace quorvel::test
