#include "console/terminals/lineconnection.h"

#include <QDeadlineTimer>

namespace quorvel {

LineConnection::LineConnection(int replyTimeoutMs) : m_replyTimeoutMs(replyTimeoutMs) {}

LineConnection::~LineConnection()
{
    close();
}

bool LineConnection::connectTo(const QString& host, quint16 port, int timeoutMs)
{
    m_socket.connectToHost(host, port);
    if (m_socket.waitForConnected(timeoutMs))
        return true;
    m_socket.abort();
    return false;
}

bool LineConnection::writeLine(QByteArrayView line)
{
    return writeRaw(wire::frameLine(line));
}

bool LineConnection::writeRaw(QByteArrayView bytes)
{
    if (m_socket.write(bytes.data(), bytes.size()) != bytes.size()) {
        m_error = m_socket.errorString();
        return false;
    }
    return flush();
}

bool LineConnection::flush()
{
    while (m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(m_replyTimeoutMs)) {
            m_error = m_socket.error() == QAbstractSocket::SocketTimeoutError
                          ? QStringLiteral("终端长时间不接收数据")
                          : m_socket.errorString();
            return false;
        }
    }
    return true;
}

LineConnection::ReadStatus LineConnection::readLine(QByteArray* line)
{
    const QDeadlineTimer deadline(m_replyTimeoutMs);
    for (;;) {
        switch (m_reader.takeLine(line)) {
        case wire::LineReader::Status::Line:
            return ReadStatus::Line;
        case wire::LineReader::Status::TooLong:
            m_error = QStringLiteral("终端的回答行太长");
            return ReadStatus::Failed;
        case wire::LineReader::Status::NeedMore:
            break;
        }
        if (m_socket.bytesAvailable() > 0) {
            m_reader.append(m_socket.readAll());
            continue;
        }
        if (m_socket.state() != QAbstractSocket::ConnectedState) {
            m_error = QStringLiteral("终端在回答之前关闭了连接");
            return ReadStatus::Failed;
        }
        if (deadline.hasExpired())
            return ReadStatus::TimedOut;
        if (!m_socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            if (m_socket.bytesAvailable() > 0)
                continue;
            if (m_socket.error() == QAbstractSocket::SocketTimeoutError &&
                m_socket.state() == QAbstractSocket::ConnectedState)
                return ReadStatus::TimedOut;
            m_error = m_socket.error() == QAbstractSocket::RemoteHostClosedError
                          ? QStringLiteral("终端在回答之前关闭了连接")
                          : m_socket.errorString();
            return ReadStatus::Failed;
        }
    }
}

void LineConnection::close()
{
    if (m_socket.state() == QAbstractSocket::UnconnectedState)
        return;
    m_socket.disconnectFromHost();
    if (m_socket.state() != QAbstractSocket::UnconnectedState &&
        !m_socket.waitForDisconnected(m_replyTimeoutMs))
        m_socket.abort();
}

} // namespace quorvel
