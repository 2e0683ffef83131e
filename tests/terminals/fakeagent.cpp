#include "tests/terminals/fakeagent.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>

namespace quorvel::test {
namespace {

// Reads from `socket` into `buffer` until `ready` says enough arrived, the
// peer closed, or the fake is stopped.
template <typename Ready>
bool readUntil(QTcpSocket& socket, QByteArray& received, const std::atomic<bool>& stop, Ready ready)
{
    while (!ready()) {
        if (stop)
            return false;
        if (socket.waitForReadyRead(50)) {
            received += socket.readAll();
            continue;
        }
        received += socket.readAll();
        if (socket.state() != QAbstractSocket::ConnectedState && !ready())
            return false;
    }
    return true;
}

// The line starting at `from` (without its terminator), and where the next
// one starts; std::nullopt when it has not ended yet.
std::optional<std::pair<QByteArray, qsizetype>> lineAt(const QByteArray& bytes, qsizetype from)
{
    const qsizetype lf = bytes.indexOf('\n', from);
    if (lf < 0)
        return std::nullopt;
    QByteArray line = bytes.mid(from, lf - from);
    if (line.endsWith('\r'))
        line.chop(1);
    return std::make_pair(line, lf + 1);
}

} // namespace

FakeAgent::FakeAgent(Script script) : m_script(std::move(script))
{
    QSemaphore listening;
    m_thread = std::thread([this, &listening] {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        listening.release();
        while (!m_stop) {
            if (!server.waitForNewConnection(50))
                continue;
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                QByteArray received;
                QByteArray first;
                bool haveFirst = false;
                // The request: its first line, and a body up to "." for DAT and SCH.
                Exchange exchange;
                qsizetype at = 0;
                bool complete = readUntil(*socket, received, m_stop, [&] {
                    for (;;) {
                        const auto next = lineAt(received, at);
                        if (!next)
                            return false;
                        at = next->second;
                        if (!haveFirst) {
                            haveFirst = true;
                            first = next->first;
                            exchange.line = next->first;
                            if (first != "DAT" && first != "SCH")
                                return true;
                            continue;
                        }
                        if (next->first == ".")
                            return true;
                        exchange.body.append(next->first);
                    }
                });
                if (complete) {
                    const QByteArray reply = m_script(exchange);
                    if (reply == Close) {
                        socket->abort();
                    } else if (reply == Silent) {
                        readUntil(*socket, received, m_stop, [] { return false; });
                    } else if (reply.endsWith(Close)) {
                        socket->write(reply.chopped(Close.size()));
                        socket->waitForBytesWritten(1000);
                        socket->disconnectFromHost();
                        if (socket->state() != QAbstractSocket::UnconnectedState)
                            socket->waitForDisconnected(1000);
                    } else {
                        socket->write(reply);
                        socket->waitForBytesWritten(1000);
                        qint64 raw = 0;
                        if (first.startsWith("FIL") && reply.startsWith("FOK")) {
                            const qsizetype comma = first.lastIndexOf(',');
                            raw = first.mid(comma + 1).toLongLong();
                        }
                        // Raw content, then whatever else comes until the
                        // client closes: nothing more is expected.
                        const qsizetype wanted = at + raw;
                        readUntil(*socket, received, m_stop,
                                  [&] { return received.size() >= wanted; });
                        readUntil(*socket, received, m_stop, [] { return false; });
                    }
                }
                QMutexLocker lock(&m_mutex);
                m_connections.append(received);
                m_requestLines.append(first);
                delete socket;
            }
        }
    });
    listening.acquire();
}

FakeAgent::~FakeAgent()
{
    m_stop = true;
    m_thread.join();
}

QList<QByteArray> FakeAgent::connections() const
{
    QMutexLocker lock(&m_mutex);
    return m_connections;
}

bool FakeAgent::waitForConnections(int count, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_connections.size() >= count)
                return true;
        }
        if (timer.elapsed() > timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

QList<QByteArray> FakeAgent::requestLines() const
{
    QMutexLocker lock(&m_mutex);
    return m_requestLines;
}

} // namespace quorvel::test
