#include "console/terminals/statuspoller.h"

#include <QMutex>
#include <QWaitCondition>
#include <deque>
#include <memory>
#include <optional>

namespace quorvel {
namespace {

// Results of one run, handed from the pool's threads to the caller's.
struct Mailbox {
    QMutex mutex;
    QWaitCondition arrived;
    std::deque<std::pair<size_t, std::optional<CommandResult>>> results;
};

} // namespace

StatusPoller::StatusPoller(const CommandClient& client, int maxInFlight)
    : m_client(client), m_maxInFlight(qMax(1, maxInFlight))
{
    m_pool.setMaxThreadCount(m_maxInFlight);
    m_pool.setThreadPriority(QThread::LowestPriority);
}

StatusPoller::~StatusPoller()
{
    cancel();
    m_pool.waitForDone();
}

void StatusPoller::setMaxInFlight(int maxInFlight)
{
    m_maxInFlight = qMax(1, maxInFlight);
    m_pool.setMaxThreadCount(m_maxInFlight);
}

void StatusPoller::cancel()
{
    m_cancelled = true;
}

void StatusPoller::run(const std::vector<TermList::Probe>& probes, const ResultHandler& onResult)
{
    if (m_maxInFlight == 1 || probes.size() <= 1) {
        for (const TermList::Probe& probe : probes) {
            if (m_cancelled)
                return;
            onResult(probe, m_client.HelloTerm(probe.ip));
        }
        return;
    }

    auto mailbox = std::make_shared<Mailbox>();
    for (size_t i = 0; i < probes.size(); ++i) {
        m_pool.start([this, mailbox, i, ip = probes[i].ip] {
            std::optional<CommandResult> result;
            if (!m_cancelled)
                result = m_client.HelloTerm(ip);
            QMutexLocker lock(&mailbox->mutex);
            mailbox->results.emplace_back(i, std::move(result));
            mailbox->arrived.wakeOne();
        });
    }
    for (size_t received = 0; received < probes.size(); ++received) {
        std::pair<size_t, std::optional<CommandResult>> next;
        {
            QMutexLocker lock(&mailbox->mutex);
            while (mailbox->results.empty())
                mailbox->arrived.wait(&mailbox->mutex);
            next = std::move(mailbox->results.front());
            mailbox->results.pop_front();
        }
        if (next.second)
            onResult(probes[next.first], *next.second);
    }
}

} // namespace quorvel
