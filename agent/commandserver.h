#pragma once

#include "agent/sessioncontext.h"

#include <QHostAddress>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace quorvel {

class ConnectionListener;

// The agent's TCP server: accepts on a thread of its own and serves every
// connection with blocking reads on a thread of its own, each with its own
// AgentSession. Needs no event loop on the caller's thread.
class CommandServer : public QObject {
    Q_OBJECT
public:
    CommandServer(const Repository& repository, SystemOperations& system, TCmdExecutor& commands,
                  AgentHost& host, QObject* parent = nullptr);
    // Stops accepting and ends every connection thread.
    ~CommandServer() override;

    // Starts listening. `bindAddress` empty means all addresses; port 0
    // takes a free port (see port()). Returns an empty text on success,
    // else the reason.
    QString listen(const QString& bindAddress, quint16 port);
    // Stops accepting, cuts every open connection (an upload in progress is
    // given up) and waits for their threads to end.
    void close();

    bool isListening() const { return m_listening.load(); }
    quint16 port() const { return m_port; }
    // Connections being served right now.
    int connectionCount() const;

private:
    friend class ConnectionListener;
    struct Connection {
        std::thread thread;
        qintptr descriptor = -1; // -1 once the thread has closed the socket
        bool finished = false;
    };

    void startConnection(qintptr descriptor);
    void serveConnection(quint64 id, qintptr descriptor);
    void reapFinished();

    SessionContext m_context;
    QThread m_acceptThread;
    ConnectionListener* m_listener = nullptr;
    std::atomic<bool> m_listening{false};
    std::atomic<bool> m_stopping{false};
    quint16 m_port = 0;

    mutable QMutex m_mutex;
    std::map<quint64, Connection> m_connections;
    quint64 m_nextId = 1;
};

} // namespace quorvel
