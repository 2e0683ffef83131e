#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

// Polls `condition` until it holds or `timeoutMs` have passed; events of the
// calling thread are served meanwhile. The limits are generous: they only
// stop a test that would otherwise hang, they measure nothing.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 15000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}
