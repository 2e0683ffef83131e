#include "bench/terminals/silentlistener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel::bench {
namespace {

QString lastError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

SilentListener::~SilentListener()
{
    if (m_filler >= 0)
        ::close(m_filler);
    if (m_listener >= 0)
        ::close(m_listener);
}

QString SilentListener::open(const QString& address, quint16 port)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &where.sin_addr) != 1)
        return QStringLiteral("not an address: %1").arg(address);

    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        return lastError("socket");
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0)
        return lastError("bind");
    // A backlog of 0 holds one finished connection; the filler takes it.
    if (::listen(m_listener, 0) != 0)
        return lastError("listen");
    m_filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_filler < 0)
        return lastError("socket");
    if (::connect(m_filler, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0)
        return lastError("connect");
    return {};
}

} // namespace quorvel::bench
