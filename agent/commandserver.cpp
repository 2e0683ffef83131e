#include "agent/commandserver.h"

#include "agent/agentsession.h"
#include "agent/connectionlistener.h"
#include "agent/repository.h"

#include <QMutexLocker>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel {
namespace {

// Bytes taken from the socket at a time. Memory stays the same whatever the
// size of an upload: a block goes to the file before the next is read.
constexpr qsizetype ReadBlockBytes = 256 * 1024;

bool sendAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        // No SIGPIPE for a console that has gone away: the send just fails.
        const ssize_t n = ::send(fd, data, size_t(left), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

} // namespace

CommandServer::CommandServer(const Repository& repository, SystemOperations& system,
                             TCmdExecutor& commands, AgentHost& host, QObject* parent)
    : QObject(parent), m_context{repository, system, commands, host}
{
    m_acceptThread.setObjectName(QStringLiteral("agent-accept"));
}

CommandServer::~CommandServer() { close(); }

QString CommandServer::listen(const QString& bindAddress, quint16 port)
{
    if (m_listening)
        return QStringLiteral("already listening on port %1").arg(m_port);
    QHostAddress address(QHostAddress::Any);
    if (!bindAddress.isEmpty() && !address.setAddress(bindAddress))
        return QStringLiteral("not an address: %1").arg(bindAddress);

    // Leftovers of an agent that stopped in the middle of an upload; no
    // upload of ours can run yet.
    m_context.repository.removeStaleUploads();

    m_stopping = false;
    m_acceptThread.start();
    m_listener = new ConnectionListener(*this);
    m_listener->moveToThread(&m_acceptThread);
    QString error;
    QMetaObject::invokeMethod(
        m_listener,
        [&] {
            if (m_listener->listen(address, port))
                m_port = m_listener->serverPort();
            else
                error = m_listener->errorString();
        },
        Qt::BlockingQueuedConnection);
    if (!error.isEmpty()) {
        close();
        return error;
    }
    m_listening = true;
    return {};
}

void CommandServer::close()
{
    if (m_listener) {
        ConnectionListener* listener = m_listener;
        QMetaObject::invokeMethod(
            listener,
            [listener] {
                listener->close();
                delete listener;
            },
            Qt::BlockingQueuedConnection);
        m_listener = nullptr;
    }
    if (m_acceptThread.isRunning()) {
        m_acceptThread.quit();
        m_acceptThread.wait();
    }
    m_listening = false;

    // Wake every blocked read; each thread then closes its own socket.
    std::map<quint64, Connection> connections;
    {
        QMutexLocker lock(&m_mutex);
        m_stopping = true;
        for (auto& [id, connection] : m_connections)
            if (connection.descriptor >= 0)
                ::shutdown(int(connection.descriptor), SHUT_RDWR);
        connections.swap(m_connections);
    }
    for (auto& [id, connection] : connections)
        if (connection.thread.joinable())
            connection.thread.join();
}

int CommandServer::connectionCount() const
{
    QMutexLocker lock(&m_mutex);
    int open = 0;
    for (const auto& [id, connection] : m_connections)
        open += connection.finished ? 0 : 1;
    return open;
}

void CommandServer::startConnection(qintptr descriptor)
{
    reapFinished();
    QMutexLocker lock(&m_mutex);
    if (m_stopping) {
        ::close(int(descriptor));
        return;
    }
    const quint64 id = m_nextId++;
    Connection& connection = m_connections[id];
    connection.descriptor = descriptor;
    connection.thread = std::thread([this, id, descriptor] { serveConnection(id, descriptor); });
}

void CommandServer::serveConnection(quint64 id, qintptr descriptor)
{
    // Plain blocking reads and writes on the descriptor: a QTcpSocket would
    // copy every byte of an upload once more through its own buffer, and
    // each thread would need an event dispatcher of its own.
    const int fd = int(descriptor);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK))
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    // A reply is one whole message: send it at once.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

    {
        AgentSession session(m_context);
        QByteArray block(ReadBlockBytes, Qt::Uninitialized);
        // No idle limit: a console may take its time between lines.
        while (!m_stopping) {
            const ssize_t n = ::recv(fd, block.data(), size_t(block.size()), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // closed by the peer, cut by close(), or failed
            const AgentSession::Output out = session.receive(QByteArrayView(block.constData(), n));
            if (!out.reply.isEmpty() && !sendAll(fd, out.reply))
                break;
            if (out.close)
                break;
        }
        // The session ends here: an upload that did not finish is given up.
    }
    {
        // From now on close() must not touch the descriptor, which the
        // system may hand out again once it is closed.
        QMutexLocker lock(&m_mutex);
        auto it = m_connections.find(id);
        if (it != m_connections.end())
            it->second.descriptor = -1;
    }
    ::close(fd);
    QMutexLocker lock(&m_mutex);
    auto it = m_connections.find(id);
    if (it != m_connections.end())
        it->second.finished = true;
}

void CommandServer::reapFinished()
{
    std::vector<std::thread> done;
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            if (it->second.finished) {
                done.push_back(std::move(it->second.thread));
                it = m_connections.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (std::thread& thread : done)
        if (thread.joinable())
            thread.join();
}

} // namespace quorvel
