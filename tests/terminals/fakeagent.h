#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <atomic>
#include <functional>
#include <thread>

namespace quorvel::test {

// A scripted stand-in for an agent on a free loopback port. It serves one
// connection at a time and records every byte each connection brought, so a
// test can compare what the client sent byte for byte.
//
// The script sees each exchange once its request is complete: the first
// line, and for "DAT" and "SCH" the body lines up to ".". What it returns is
// written back as it is (CR LF included); `Silent` sends nothing and keeps
// the connection open until the client gives up; `Close` drops the
// connection at once; a reply followed by `Close` is sent and the
// connection is then closed. After a "FIL" line answered with "FOK" the announced
// number of raw bytes is read and recorded.
class FakeAgent {
public:
    struct Exchange {
        QByteArray line;
        QList<QByteArray> body;
    };
    static inline const QByteArray Silent = QByteArrayLiteral("<silent>");
    static inline const QByteArray Close = QByteArrayLiteral("<close>");
    using Script = std::function<QByteArray(const Exchange&)>;

    explicit FakeAgent(Script script);
    ~FakeAgent();
    FakeAgent(const FakeAgent&) = delete;
    FakeAgent& operator=(const FakeAgent&) = delete;

    quint16 port() const { return m_port; }
    // Everything each finished connection sent, in the order they came.
    QList<QByteArray> connections() const;
    // Waits until `count` connections have ended (the fake records a
    // connection only once the client has closed it).
    bool waitForConnections(int count, int timeoutMs = 5000) const;
    // The first lines of the finished connections.
    QList<QByteArray> requestLines() const;

    // One reply line with CR LF.
    static QByteArray line(const QByteArray& text) { return text + "\r\n"; }

private:
    void serve();

    Script m_script;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<quint16> m_port{0};
    mutable QMutex m_mutex;
    QList<QByteArray> m_connections;
    QList<QByteArray> m_requestLines;
};

} // namespace quorvel::test
