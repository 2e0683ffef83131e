#pragma once

#include "agent/schtask.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

namespace quorvel {

// Runs the stored schedule "playlist.ini" by the clock. Lives on the main
// thread; its tick is CheckTasks.
class TSchExecutor : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 3000;
    using Clock = std::function<QDateTime()>; // local date and time
    using SchedulEvent = std::function<void(const QString& ACmd, const QString& AParam)>;

    // `repositoryPath` ends in "/". Enabled from creation, with an empty
    // task list.
    explicit TSchExecutor(QString repositoryPath, QObject* parent = nullptr);

    // Raised for a due task with its Cmd ("PLAY" or "SHUT") and Module.
    SchedulEvent OnSchedul;

    // Replaces the clock (default: the machine's local time), so a whole day
    // can be run in a test in milliseconds.
    void setClock(Clock clock);

    // Builds the task list from "playlist.ini": the tasks in section order,
    // then the end-of-day mark; empty when the file does not exist. Tasks
    // with a TIME that is not "hh:mm" (00:00 to 23:59) or a CMD other than 0
    // or 1 are left out. False, with the reason, when the file exists but
    // cannot be read.
    bool LoadPlaylist(QString* error = nullptr);
    // One step of the plan (the timer calls it every 3 s while enabled).
    void CheckTasks();

    QList<SchTask> tasks() const { return m_taskList; }

    bool isEnabled() const { return m_timer.isActive(); }
    void setEnabled(bool enabled);
    int interval() const { return m_timer.interval(); }

    static QString playlistName() { return QStringLiteral("playlist.ini"); }

private:
    QString m_repositoryPath;
    Clock m_clock;
    QList<SchTask> m_taskList;
    // The day on which the end-of-day mark last moved, so that in a plan
    // whose tasks are all at 00:00 the day starts over only once.
    QDate m_markMovedOn;
    QTimer m_timer;
};

} // namespace quorvel
