#pragma once

#include <QString>

namespace quorvel::bench {

// A terminal that is switched on but never answers: a listening socket that
// never accepts, whose accept queue is full, so a new connection attempt
// gets no answer at all (its SYN is dropped) until the client gives up.
class SilentListener {
public:
    SilentListener() = default;
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    // Empty on success, else the reason.
    QString open(const QString& address, quint16 port);

private:
    int m_listener = -1;
    int m_filler = -1;
};

} // namespace quorvel::bench
