#pragma once

#include "agent/cmdexecutor.h"
#include "agent/commandserver.h"
#include "agent/repository.h"
#include "agent/systemoperations.h"
#include "platform/system/fixeddiskspace.h"
#include "platform/system/recordingpowercontrol.h"
#include "platform/system/recordingsystemclock.h"
#include "tests/agent/agentfixture.h"

#include <QTemporaryDir>
#include <memory>

namespace quorvel::test {

// A real agent server on a loopback address, with its repository in a
// temporary folder and the platform doubles (clock, power, disk), so
// nothing on the machine is touched.
class LoopbackAgent {
public:
    // Port 0 takes a free port. `error` (when given) receives why listening
    // failed; port() is then 0.
    explicit LoopbackAgent(const QString& address = QStringLiteral("127.0.0.1"), quint16 port = 0,
                           QString* error = nullptr);
    ~LoopbackAgent();

    quint16 port() const { return m_server ? m_server->port() : 0; }
    QString address() const { return m_address; }
    QString repoPath() const { return m_dir.path() + QStringLiteral("/repo/"); }
    QByteArray repoFile(const QString& name) const;
    bool repoHas(const QString& name) const;
    void writeRepoFile(const QString& name, const QByteArray& content) const;

    RecordingHost& host() { return m_host; }
    RecordingSystemClock& clock() { return m_clock; }
    FixedDiskSpace& disk() { return m_disk; }
    TCmdExecutor& commands() { return m_commands; }

private:
    QString m_address;
    QTemporaryDir m_dir;
    FixedDiskSpace m_disk{DiskFigures{100LL << 30, 50LL << 30}};
    RecordingSystemClock m_clock;
    RecordingPowerControl m_power;
    SystemOperations m_system{m_clock, m_power};
    std::unique_ptr<Repository> m_repository;
    TCmdExecutor m_commands;
    RecordingHost m_host;
    std::unique_ptr<CommandServer> m_server;
};

} // namespace quorvel::test
