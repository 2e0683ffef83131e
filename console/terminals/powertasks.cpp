#include "console/terminals/powertasks.h"

namespace quorvel {

void PowerTaskList::add(const TASK_REC& task)
{
    QMutexLocker lock(&m_mutex);
    m_tasks.append(task);
}

QList<TASK_REC> PowerTaskList::takeDue(const QDateTime& now)
{
    QMutexLocker lock(&m_mutex);
    QList<TASK_REC> due;
    QList<TASK_REC> kept;
    for (const TASK_REC& task : std::as_const(m_tasks)) {
        if (task.When <= now) {
            due.append(task);
            due.last().Done = true;
        } else {
            kept.append(task);
        }
    }
    m_tasks = kept;
    return due;
}

QList<TASK_REC> PowerTaskList::tasks() const
{
    QMutexLocker lock(&m_mutex);
    return m_tasks;
}

qsizetype PowerTaskList::size() const
{
    QMutexLocker lock(&m_mutex);
    return m_tasks.size();
}

void PowerTaskList::clear()
{
    QMutexLocker lock(&m_mutex);
    m_tasks.clear();
}

} // namespace quorvel
