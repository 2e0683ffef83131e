#pragma once

#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace quorvel {

// The agent's command queue. Connection threads append to it; the owner's
// tick handler, on the thread that created the executor, reads its head and
// removes it when done, so everything that starts or stops players runs on
// one thread, one command at a time.
class TCmdExecutor : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 1000;

    explicit TCmdExecutor(QObject* parent = nullptr);

    // Called on every tick (every second while enabled). Set it before the
    // event loop runs.
    std::function<void()> OnTimer;

    // Appends "=NULL" to a command without "=", then queues it. Any thread.
    void AddCmd(const QString& command);
    // Name (before the first "=") and parameter (after it) of the head
    // entry; empty when the queue is empty. Any thread.
    QString CmdName() const;
    QString CmdParam() const;
    // Removes the head entry, if any. Any thread.
    void NextCmd();

    // The whole queue, head first ("NAME=PARAM" entries).
    QStringList commands() const;

    bool isEnabled() const { return m_timer.isActive(); }
    void setEnabled(bool enabled);
    int interval() const { return m_timer.interval(); }

private:
    mutable QMutex m_mutex;
    QStringList m_cmdList;
    QTimer m_timer;
};

} // namespace quorvel
