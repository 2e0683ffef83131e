#include "agent/commandserver.h"

#include "agent/agentsession.h"
#include "agent/connectionlistener.h"
#include "agent/repository.h"

#include <QMutexLocker>
#include <QTcpSocket>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel {
namespace {

// Bytes taken from the socket at a time; also the most the socket buffers,
// so memory stays the same whatever the size of an upload.
constexpr qint64 ReadBlockBytes = 256 * 1024;

bool writeAll(QTcpSocket& socket, const QByteArray& bytes)
{
    if (socket.write(bytes) != bytes.size())
        return false;
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(-1))
            return false;
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
        if (connection.thread)
            connection.thread->wait();
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
    // A QThread, not a bare std::thread: the socket's notifiers want the
    // event dispatcher that QThread sets up, even for blocking reads.
    connection.thread.reset(
        QThread::create([this, id, descriptor] { serveConnection(id, descriptor); }));
    connection.thread->setObjectName(QStringLiteral("agent-connection"));
    connection.thread->start();
}

void CommandServer::serveConnection(quint64 id, qintptr descriptor)
{
    {
        QTcpSocket socket;
        if (socket.setSocketDescriptor(descriptor)) {
            socket.setReadBufferSize(ReadBlockBytes);
            AgentSession session(m_context);
            QByteArray block(ReadBlockBytes, Qt::Uninitialized);
            // No idle limit: a console may take its time between lines.
            while (!m_stopping) {
                if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(-1))
                    break;
                const qint64 n = socket.read(block.data(), block.size());
                if (n < 0)
                    break;
                if (n == 0)
                    continue;
                const AgentSession::Output out =
                    session.receive(QByteArrayView(block.constData(), n));
                if (!out.reply.isEmpty() && !writeAll(socket, out.reply))
                    break;
                if (out.close)
                    break;
            }
        } else {
            ::close(int(descriptor));
        }
        // The socket closes here; from now on close() must not touch the
        // descriptor, which the system may hand out again.
        QMutexLocker lock(&m_mutex);
        auto it = m_connections.find(id);
        if (it != m_connections.end())
            it->second.descriptor = -1;
    }
    QMutexLocker lock(&m_mutex);
    auto it = m_connections.find(id);
    if (it != m_connections.end())
        it->second.finished = true;
}

void CommandServer::reapFinished()
{
    std::vector<std::unique_ptr<QThread>> done;
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
    for (std::unique_ptr<QThread>& thread : done)
        thread->wait();
}

} // namespace quorvel
