#include "tests/terminals/loopbackagent.h"

#include <QDir>
#include <QFile>

namespace quorvel::test {

LoopbackAgent::LoopbackAgent(const QString& address, quint16 port, QString* error)
    : m_address(address)
{
    QDir().mkpath(repoPath());
    m_repository = std::make_unique<Repository>(repoPath(), QString(), m_disk);
    // The tests look at the queue; nothing runs it.
    m_commands.setEnabled(false);
    m_server = std::make_unique<CommandServer>(*m_repository, m_system, m_commands, m_host);
    const QString failure = m_server->listen(address, port);
    if (!failure.isEmpty()) {
        m_server.reset();
        if (error)
            *error = failure;
    }
}

LoopbackAgent::~LoopbackAgent()
{
    if (m_server)
        m_server->close();
}

QByteArray LoopbackAgent::repoFile(const QString& name) const
{
    QFile file(repoPath() + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool LoopbackAgent::repoHas(const QString& name) const
{
    return QFile::exists(repoPath() + name);
}

void LoopbackAgent::writeRepoFile(const QString& name, const QByteArray& content) const
{
    QFile file(repoPath() + name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

} // namespace quorvel::test
