#pragma once

#include <QTcpServer>

namespace quorvel {

class CommandServer;

// Accepts on the server's accept thread and hands each new socket, as a bare
// descriptor, to the server, which serves it on a thread of its own.
class ConnectionListener : public QTcpServer {
    Q_OBJECT
public:
    explicit ConnectionListener(CommandServer& server);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    CommandServer& m_server;
};

} // namespace quorvel
