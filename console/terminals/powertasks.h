#pragma once

#include "console/terminals/taskrec.h"

#include <QList>
#include <QMutex>

namespace quorvel {

// The console-wide list of timed power tasks. The power commands append on
// the window's thread while the monitor takes the due ones on its own, so
// every access is under one lock. Never stored: pending tasks die with the
// console.
class PowerTaskList {
public:
    void add(const TASK_REC& task);
    // Removes and returns, in order, every task whose time is not later than
    // `now`, marked done; the others keep their order.
    QList<TASK_REC> takeDue(const QDateTime& now);
    QList<TASK_REC> tasks() const;
    qsizetype size() const;
    void clear();

private:
    mutable QMutex m_mutex;
    QList<TASK_REC> m_tasks;
};

} // namespace quorvel
