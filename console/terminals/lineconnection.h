#pragma once

#include "core/wire.h"

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

namespace quorvel {

// One blocking connection to an agent: protocol lines out and in, raw bytes
// out. Uses only the socket's waitFor calls, so it works on any thread,
// with or without an event loop.
class LineConnection {
public:
    enum class ReadStatus { Line, TimedOut, Failed };

    explicit LineConnection(int replyTimeoutMs);
    ~LineConnection();
    LineConnection(const LineConnection&) = delete;
    LineConnection& operator=(const LineConnection&) = delete;

    // false when no connection stood within `timeoutMs` (refused,
    // unreachable, unknown name, time-out).
    bool connectTo(const QString& host, quint16 port, int timeoutMs);
    // Sends `line` with CR LF and waits until the bytes are handed to the
    // system. false on a socket error or a peer that takes nothing for the
    // whole reply time-out (see errorString()).
    bool writeLine(QByteArrayView line);
    bool writeRaw(QByteArrayView bytes);
    // Waits at most the reply time-out for the next line (its terminator
    // dropped). Failed: the peer closed first, a socket error, or a line
    // longer than the protocol allows.
    ReadStatus readLine(QByteArray* line);
    void close();

    QString errorString() const { return m_error; }

private:
    bool flush();

    QTcpSocket m_socket;
    wire::LineReader m_reader;
    int m_replyTimeoutMs;
    QString m_error;
};

} // namespace quorvel
