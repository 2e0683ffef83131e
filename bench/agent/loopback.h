#pragma once

#include <QByteArray>
#include <cstdint>

// Plain blocking loopback sockets for the benchmark's own clients and its
// raw receiver: nothing between the bytes and the kernel, so the raw figure
// is the most this machine can move.
namespace quorvel::bench::loopback {

// A connected socket, or -1.
int connectTo(uint16_t port);
// A listening socket on 127.0.0.1 with a free port, or -1.
int listenAny(uint16_t* port);
bool sendAll(int fd, const char* data, size_t size);
inline bool sendAll(int fd, const QByteArray& bytes)
{
    return sendAll(fd, bytes.constData(), size_t(bytes.size()));
}
// One line without its CR LF; empty when the peer closed first.
QByteArray readLine(int fd);
void closeSocket(int fd);

} // namespace quorvel::bench::loopback
