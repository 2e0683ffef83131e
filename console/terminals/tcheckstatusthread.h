#pragma once

#include "console/terminals/commandclient.h"
#include "console/terminals/powertasks.h"
#include "console/terminals/statuspoller.h"
#include "console/terminals/termlist.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>

class QTreeWidget;

namespace quorvel {

// The status monitor: every pass asks each terminal of the list for its
// status, shows the rows whose status changed, then carries out the timed
// power tasks that are due; passes are spaced by a sleep of 10 s. The
// queries of a pass run concurrently (see StatusPoller). A query that breaks
// counts that terminal offline for the pass; the monitor goes on.
//
// The window owns the list, the view and this thread; the thread must be
// stopped and waited for (the destructor does both) before the list goes.
class TCheckStatusThread : public QThread {
public:
    static constexpr int DefaultPassIntervalMs = 10000;
    static constexpr int DefaultMaxInFlight = 64;

    // `listView` may be null (no rows to show); its row i shows item i of
    // `termList`.
    TCheckStatusThread(TermList& termList, PowerTaskList& powerTasks, const CommandClient& client,
                       QTreeWidget* listView, QObject* parent = nullptr);
    ~TCheckStatusThread() override;

    // One status pass over the list as it is when the pass begins. Runs on
    // the monitor's thread or, for a refresh, on the window's; rows are
    // updated on the window's thread as results come in.
    void CheckAll();
    // Carries out and drops the tasks that are due.
    void RunPowerTasks();
    void AddPowerTask(const QString& ip, const MacAddress& mac, bool powerOn, const QDateTime& when);
    // On the window's thread: shows the status of the record `key` in its row.
    void UpdateRow(TermList::Key key);

    bool Running() const { return m_running; }
    // false ends the loop after the pass under way, without the sleep.
    void SetRunning(bool running);
    // Paused while any command holds a PauseGuard.
    bool Paused() const { return m_pauseCount > 0; }
    void Pause() { ++m_pauseCount; }
    void Resume() { --m_pauseCount; }

    void setPassInterval(int milliseconds) { m_passIntervalMs = milliseconds; }
    void setMaxInFlight(int maxInFlight) { m_poller.setMaxInFlight(maxInFlight); }
    // Ends the loop, drops queries not yet started and waits for the thread.
    void stopAndWait();

protected:
    void run() override { Execute(); }

private:
    void Execute();
    void sleepBetweenPasses();

    TermList& m_termList;
    PowerTaskList& m_powerTasks;
    CommandClient m_client;
    QTreeWidget* ListView;
    StatusPoller m_poller;

    std::atomic<bool> m_running{true};
    std::atomic<int> m_pauseCount{0};
    std::atomic<int> m_passIntervalMs{DefaultPassIntervalMs};
    QMutex m_sleepMutex;
    QWaitCondition m_wake;
};

} // namespace quorvel
