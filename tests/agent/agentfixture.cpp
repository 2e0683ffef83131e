#include "tests/agent/agentfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutexLocker>

namespace quorvel::test {

QByteArray RecordingHost::GetPlayStatus()
{
    QMutexLocker lock(&m_mutex);
    return m_status;
}

void RecordingHost::postAgentCmd(int code)
{
    QMutexLocker lock(&m_mutex);
    m_posted << code;
}

void RecordingHost::setStatus(const QByteArray& status)
{
    QMutexLocker lock(&m_mutex);
    m_status = status;
}

QList<int> RecordingHost::posted() const
{
    QMutexLocker lock(&m_mutex);
    return m_posted;
}

AgentFixture::AgentFixture()
    : m_repository(std::make_unique<Repository>(repoPath(), sharedPath(), m_disk))
{
    QDir().mkpath(repoPath());
    QDir().mkpath(sharedPath());
    // The tests read the queue; nothing runs it.
    m_commands.setEnabled(false);
}

void AgentFixture::writeFile(const QString& path, const QByteArray& content) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
}

QByteArray AgentFixture::readRepoFile(const QString& name) const
{
    QFile file(repoPath() + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool AgentFixture::repoHas(const QString& name) const { return QFile::exists(repoPath() + name); }

QStringList AgentFixture::repoEntries() const
{
    QStringList names = QDir(repoPath()).entryList(QDir::AllEntries | QDir::Hidden |
                                                   QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

void ServerFixture::SetUp()
{
    m_server = std::make_unique<CommandServer>(*m_repository, m_system, m_commands, m_host);
    const QString error = m_server->listen(QStringLiteral("127.0.0.1"), 0);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_NE(m_server->port(), 0);
}

void ServerFixture::TearDown()
{
    if (m_server)
        m_server->close();
}

std::unique_ptr<QTcpSocket> ServerFixture::connectClient() const
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QStringLiteral("127.0.0.1"), m_server->port());
    EXPECT_TRUE(socket->waitForConnected(5000)) << socket->errorString().toStdString();
    return socket;
}

QByteArray ServerFixture::readLine(QTcpSocket& socket, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!socket.canReadLine()) {
        const int left = timeoutMs - int(timer.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return {};
    }
    QByteArray line = socket.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

void ServerFixture::send(QTcpSocket& socket, const QByteArray& bytes)
{
    socket.write(bytes);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(5000))
            break;
}

QList<QByteArray> ServerFixture::exchange(const QList<QByteArray>& request, int replyLines) const
{
    std::unique_ptr<QTcpSocket> socket = connectClient();
    QByteArray bytes;
    for (const QByteArray& line : request)
        bytes += line + "\r\n";
    send(*socket, bytes);
    QList<QByteArray> reply;
    for (int i = 0; i < replyLines; ++i)
        reply << readLine(*socket);
    return reply;
}

bool ServerFixture::noReplyTo(const QByteArray& line)
{
    std::unique_ptr<QTcpSocket> socket = connectClient();
    send(*socket, line + "\r\nHLO\r\n");
    return readLine(*socket) == m_host.GetPlayStatus();
}

bool ServerFixture::closedByServer(QTcpSocket& socket, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (socket.state() != QAbstractSocket::ConnectedState)
            return true;
        socket.readAll();
        if (!socket.waitForReadyRead(100) && socket.state() != QAbstractSocket::ConnectedState)
            return true;
    }
    return false;
}

} // namespace quorvel::test
