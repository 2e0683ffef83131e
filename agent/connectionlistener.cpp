#include "agent/connectionlistener.h"

#include "agent/commandserver.h"

namespace quorvel {

ConnectionListener::ConnectionListener(CommandServer& server) : m_server(server) {}

void ConnectionListener::incomingConnection(qintptr descriptor)
{
    m_server.startConnection(descriptor);
}

} // namespace quorvel
