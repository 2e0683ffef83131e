#include "agent/schexecutor.h"

#include "core/profilefile.h"

#include <QFileInfo>

namespace quorvel {
namespace {

const QString CmdNames[] = {QStringLiteral("PLAY"), QStringLiteral("SHUT")};

// "hh:mm", 00:00 to 23:59. Only such times order correctly as text.
bool isTimeOfDay(const QString& text)
{
    if (text.size() != 5 || text[2] != u':')
        return false;
    for (int i : {0, 1, 3, 4})
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    return text.left(2).toInt() <= 23 && text.mid(3).toInt() <= 59;
}

} // namespace

TSchExecutor::TSchExecutor(QString repositoryPath, QObject* parent)
    : QObject(parent), m_repositoryPath(std::move(repositoryPath)),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TSchExecutor::CheckTasks);
    m_timer.start();
}

void TSchExecutor::setClock(Clock clock) { m_clock = std::move(clock); }

bool TSchExecutor::LoadPlaylist(QString* error)
{
    m_taskList.clear();
    // A fresh list stands where the day's list stands once the mark has
    // moved: loaded in the minute 00:00, the mark must not move again that
    // day, or a task at 00:00 would fire twice.
    m_markMovedOn = m_clock().date();
    const QString path = m_repositoryPath + playlistName();
    if (!QFileInfo::exists(path))
        return true;
    const ProfileFile ini(path);
    if (!ini.loadError().isEmpty()) {
        if (error)
            *error = ini.loadError();
        return false;
    }
    for (int n = 1;; ++n) {
        const QString section = QStringLiteral("TASK_%1").arg(n);
        if (!ini.sectionExists(section))
            break;
        const QString time = ini.readString(section, u"TIME");
        if (!isTimeOfDay(time))
            continue;
        int cmd = 0;
        const QString cmdText = ini.readString(section, u"CMD");
        if (!cmdText.isEmpty() && !ProfileFile::parseInteger(cmdText, &cmd))
            continue;
        if (cmd != 0 && cmd != 1)
            continue;
        m_taskList.append(SchTask{time, CmdNames[cmd], ini.readString(section, u"MODULE")});
    }
    m_taskList.append(SchTask::endOfDayMark());
    return true;
}

void TSchExecutor::CheckTasks()
{
    if (m_taskList.isEmpty())
        return;
    const QDateTime now = m_clock();
    const QString current = now.time().toString(QStringLiteral("HH:mm"));

    if (m_taskList.front().endOfDay) {
        if (current == QLatin1String("00:00") && m_markMovedOn != now.date()) {
            m_markMovedOn = now.date();
            m_taskList.append(m_taskList.takeFirst());
        }
        return;
    }

    const SchTask& head = m_taskList.front();
    const QString closing = m_taskList.size() < 2 || m_taskList[1].endOfDay
                                ? QStringLiteral("24:00")
                                : m_taskList[1].Time;
    if (current < head.Time)
        return;
    const SchTask task = m_taskList.takeFirst();
    m_taskList.append(task);
    if (current < closing && OnSchedul)
        OnSchedul(task.Cmd, task.Module);
}

void TSchExecutor::setEnabled(bool enabled)
{
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

} // namespace quorvel
