#include "agent/cmdexecutor.h"

#include <QMutexLocker>

namespace quorvel {

TCmdExecutor::TCmdExecutor(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (OnTimer)
            OnTimer();
    });
    m_timer.start();
}

void TCmdExecutor::AddCmd(const QString& command)
{
    const QString entry = command.contains(u'=') ? command : command + QStringLiteral("=NULL");
    QMutexLocker lock(&m_mutex);
    m_cmdList.append(entry);
}

QString TCmdExecutor::CmdName() const
{
    QMutexLocker lock(&m_mutex);
    if (m_cmdList.isEmpty())
        return {};
    const QString& head = m_cmdList.front();
    return head.left(head.indexOf(u'='));
}

QString TCmdExecutor::CmdParam() const
{
    QMutexLocker lock(&m_mutex);
    if (m_cmdList.isEmpty())
        return {};
    const QString& head = m_cmdList.front();
    return head.mid(head.indexOf(u'=') + 1);
}

void TCmdExecutor::NextCmd()
{
    QMutexLocker lock(&m_mutex);
    if (!m_cmdList.isEmpty())
        m_cmdList.removeFirst();
}

QStringList TCmdExecutor::commands() const
{
    QMutexLocker lock(&m_mutex);
    return m_cmdList;
}

void TCmdExecutor::setEnabled(bool enabled)
{
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

} // namespace quorvel
