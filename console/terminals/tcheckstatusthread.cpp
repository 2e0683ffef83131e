#include "console/terminals/tcheckstatusthread.h"

#include "console/terminals/termicons.h"

#include <QTreeWidget>

namespace quorvel {
namespace {

constexpr int StatusColumn = 4;

} // namespace

TCheckStatusThread::TCheckStatusThread(TermList& termList, PowerTaskList& powerTasks,
                                       const CommandClient& client, QTreeWidget* listView,
                                       QObject* parent)
    : QThread(parent),
      m_termList(termList),
      m_powerTasks(powerTasks),
      m_client(client),
      ListView(listView),
      m_poller(m_client, DefaultMaxInFlight)
{
}

TCheckStatusThread::~TCheckStatusThread()
{
    stopAndWait();
}

void TCheckStatusThread::SetRunning(bool running)
{
    QMutexLocker lock(&m_sleepMutex);
    m_running = running;
    if (!running)
        m_wake.wakeAll();
}

void TCheckStatusThread::stopAndWait()
{
    SetRunning(false);
    m_poller.cancel();
    wait();
}

void TCheckStatusThread::Execute()
{
    while (m_running) {
        if (!Paused()) {
            CheckAll();
            RunPowerTasks();
        }
        sleepBetweenPasses();
    }
}

void TCheckStatusThread::sleepBetweenPasses()
{
    QMutexLocker lock(&m_sleepMutex);
    if (m_running)
        m_wake.wait(&m_sleepMutex, QDeadlineTimer(m_passIntervalMs.load()));
}

void TCheckStatusThread::CheckAll()
{
    const bool onWindowThread = ListView && QThread::currentThread() == ListView->thread();
    m_poller.run(m_termList.probes(), [&](const TermList::Probe& probe, const CommandResult& result) {
        const bool changed =
            m_termList.setHelloReply(probe.key, probe.ip, result.succeeded(), result.reply);
        if (!changed || !ListView)
            return;
        if (onWindowThread) {
            UpdateRow(probe.key);
            return;
        }
        // This object lives on the window's thread, so the call runs there,
        // and is dropped if the window has gone meanwhile. The row is found
        // by key when it runs, so a list changed in between does no harm.
        QMetaObject::invokeMethod(this, [this, key = probe.key] { UpdateRow(key); },
                                  Qt::QueuedConnection);
    });
}

void TCheckStatusThread::UpdateRow(TermList::Key key)
{
    if (!ListView)
        return;
    const int row = m_termList.indexOf(key);
    const std::optional<TermItem> item = m_termList.item(key);
    if (row < 0 || !item || row >= ListView->topLevelItemCount())
        return;
    QTreeWidgetItem* viewItem = ListView->topLevelItem(row);
    viewItem->setText(StatusColumn, StatusText(item->Status));
    viewItem->setIcon(0, TermIcons::forOnline(item->Online));
}

void TCheckStatusThread::AddPowerTask(const QString& ip, const MacAddress& mac, bool powerOn,
                                      const QDateTime& when)
{
    m_powerTasks.add(TASK_REC{when, powerOn, ip, mac, false});
}

void TCheckStatusThread::RunPowerTasks()
{
    const QList<TASK_REC> due = m_powerTasks.takeDue(QDateTime::currentDateTime());
    for (const TASK_REC& task : due) {
        const bool answers = m_client.HelloTerm(task.IP).succeeded();
        if (task.PowerOn && !answers)
            m_client.WakeTerm(task.IP, task.MAC);
        else if (!task.PowerOn && answers)
            m_client.ShutdownTerm(task.IP);
    }
}

} // namespace quorvel
