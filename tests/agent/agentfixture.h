#pragma once

#include "agent/agenthost.h"
#include "agent/cmdexecutor.h"
#include "agent/commandserver.h"
#include "agent/repository.h"
#include "agent/systemoperations.h"
#include "platform/system/fixeddiskspace.h"
#include "platform/system/recordingpowercontrol.h"
#include "platform/system/recordingsystemclock.h"
#include "tests/agent/qtprinters.h"

#include <QList>
#include <QMutex>
#include <QTemporaryDir>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

namespace quorvel::test {

// The window side of the server, as far as the protocol sees it.
class RecordingHost : public AgentHost {
public:
    QByteArray GetPlayStatus() override;
    void postAgentCmd(int code) override;

    void setStatus(const QByteArray& status);
    QList<int> posted() const;

private:
    mutable QMutex m_mutex;
    QByteArray m_status = "STB";
    QList<int> m_posted;
};

// A repository in a temporary folder, with its shared "Z:" folder, and the
// doubles of the platform layers.
class AgentFixture : public ::testing::Test {
protected:
    AgentFixture();

    // Each folder sits one level down in its temporary folder, so a name
    // that escapes it can be seen to do so.
    QString repoPath() const { return m_repoDir.path() + QStringLiteral("/repo/"); }
    QString sharedPath() const { return m_sharedDir.path() + QStringLiteral("/share/"); }
    QString outsidePath() const { return m_repoDir.path() + u'/'; }
    QString outsideSharedPath() const { return m_sharedDir.path() + u'/'; }
    void writeFile(const QString& path, const QByteArray& content) const;
    void writeRepoFile(const QString& name, const QByteArray& content) const
    {
        writeFile(repoPath() + name, content);
    }
    QByteArray readRepoFile(const QString& name) const;
    bool repoHas(const QString& name) const;
    // Every name in the repository folder, hidden ones included.
    QStringList repoEntries() const;

    QTemporaryDir m_repoDir;
    QTemporaryDir m_sharedDir;
    FixedDiskSpace m_disk{DiskFigures{100LL << 30, 50LL << 30}};
    RecordingSystemClock m_clock;
    RecordingPowerControl m_power;
    SystemOperations m_system{m_clock, m_power};
    std::unique_ptr<Repository> m_repository;
    TCmdExecutor m_commands;
    RecordingHost m_host;
};

// The same, with a real server on a free loopback port.
class ServerFixture : public AgentFixture {
public:
    // One line of reply (without CR LF); empty on time-out or close.
    static QByteArray readLine(QTcpSocket& socket, int timeoutMs = 5000);

protected:
    void SetUp() override;
    void TearDown() override;

    // A connected client, or a failed test.
    std::unique_ptr<QTcpSocket> connectClient() const;
    static void send(QTcpSocket& socket, const QByteArray& bytes);
    // Sends the lines of `request` on a connection of its own and reads
    // `replyLines` lines.
    QList<QByteArray> exchange(const QList<QByteArray>& request, int replyLines = 1) const;
    QByteArray exchangeLine(const QByteArray& line) const { return exchange({line}).value(0); }
    // True when the peer sent nothing for `line`: a status query sent after
    // it on the same connection is answered first.
    bool noReplyTo(const QByteArray& line);
    // True when the server closes the connection (reads until then).
    static bool closedByServer(QTcpSocket& socket, int timeoutMs = 5000);

    std::unique_ptr<CommandServer> m_server;
};

} // namespace quorvel::test
