#pragma once

#include "console/terminals/commandclient.h"
#include "console/terminals/termlist.h"

#include <QThreadPool>
#include <atomic>
#include <functional>
#include <vector>

namespace quorvel {

// Asks many terminals for their status at once: every query is its own
// "HLO" exchange on its own connection with its own time-outs, at most
// `maxInFlight` of them at a time. With one in flight the queries run one
// after another on the calling thread.
class StatusPoller {
public:
    using ResultHandler =
        std::function<void(const TermList::Probe& probe, const CommandResult& result)>;

    explicit StatusPoller(const CommandClient& client, int maxInFlight = 64);
    ~StatusPoller();

    void setMaxInFlight(int maxInFlight);
    int maxInFlight() const { return m_maxInFlight; }

    // Queries every probe and returns when all are done. `onResult` runs on
    // the calling thread, once per probe, as the results come in.
    void run(const std::vector<TermList::Probe>& probes, const ResultHandler& onResult);
    // Queries that have not started yet are dropped (their results do not
    // come); queries under way finish. For shutting down.
    void cancel();

private:
    const CommandClient& m_client;
    int m_maxInFlight;
    QThreadPool m_pool;
    std::atomic<bool> m_cancelled{false};
};

} // namespace quorvel
