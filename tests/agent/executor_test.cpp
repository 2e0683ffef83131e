#include "agent/cmdexecutor.h"
#include "agent/schexecutor.h"
#include "core/textcodec.h"
#include "tests/agent/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace quorvel::test {
namespace {

// A schedule executor over a temporary repository, driven tick by tick on a
// clock that the test moves, so whole days run in milliseconds.
class ScheduleDay : public ::testing::Test {
protected:
    ScheduleDay()
    {
        m_executor.setEnabled(false); // the test ticks it
        m_executor.setClock([this] { return m_now; });
        m_executor.OnSchedul = [this](const QString& cmd, const QString& module) {
            m_fired << QStringLiteral("%1 %2 %3 %4")
                           .arg(m_day0.daysTo(m_now.date()))
                           .arg(m_now.time().toString(QStringLiteral("HH:mm:ss")), cmd, module);
        };
    }

    void writePlaylist(const QByteArray& text)
    {
        QFile file(m_dir.path() + QStringLiteral("/playlist.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    // Sets the clock to `time` of day `day` (0 is the first) and loads.
    void loadAt(int day, QTime time)
    {
        m_now = QDateTime(m_day0.addDays(day), time);
        QString error;
        ASSERT_TRUE(m_executor.LoadPlaylist(&error)) << error.toStdString();
    }

    // Ticks every 3 s from now until (not including) `time` of day `day`.
    void runUntil(int day, QTime time)
    {
        const QDateTime end(m_day0.addDays(day), time);
        for (; m_now < end; m_now = m_now.addSecs(TSchExecutor::IntervalMs / 1000))
            m_executor.CheckTasks();
    }

    QStringList takeFired()
    {
        QStringList fired;
        fired.swap(m_fired);
        return fired;
    }

    // Away from any daylight-saving change, so every day has 24 hours.
    const QDate m_day0{2024, 6, 10};
    QTemporaryDir m_dir;
    TSchExecutor m_executor{m_dir.path() + u'/'};
    QDateTime m_now;
    QStringList m_fired;
};

TEST_F(ScheduleDay, LoadedInTheAfternoonResumesThePlanThenRunsEveryDay)
{
    writePlaylist("[TASK_1]\r\nTIME=08:00\r\nCMD=0\r\nMODULE=A\r\n"
                  "[TASK_2]\r\nTIME=12:00\r\nCMD=0\r\nMODULE=B\r\n"
                  "[TASK_3]\r\nTIME=20:00\r\nCMD=0\r\nMODULE=C\r\n"
                  "[TASK_4]\r\nTIME=22:30\r\nCMD=1\r\nMODULE=\r\n");
    loadAt(0, QTime(15, 0));
    // A has passed and is moved on without firing; B holds the moment.
    runUntil(0, QTime(15, 0, 6));
    EXPECT_EQ(takeFired(), QStringList({"0 15:00:03 PLAY B"}));

    runUntil(2, QTime(0, 0));
    EXPECT_EQ(takeFired(), QStringList({"0 20:00:00 PLAY C", "0 22:30:00 SHUT ",
                                        "1 08:00:00 PLAY A", "1 12:00:00 PLAY B",
                                        "1 20:00:00 PLAY C", "1 22:30:00 SHUT "}));
}

TEST_F(ScheduleDay, PlansAndWhatFiresInThem)
{
    struct Case {
        const char* what;
        QByteArray playlist;
        QTime loadedAt;
        QStringList fired; // over the rest of day 0 and all of day 1
    };
    const Case cases[] = {
        {"two tasks at one time: only the later",
         "[TASK_1]\nTIME=09:00\nMODULE=A\n[TASK_2]\nTIME=09:00\nMODULE=B\n",
         QTime(6, 0),
         {"0 09:00:03 PLAY B", "1 09:00:03 PLAY B"}},
        {"out of order: the 12:00 task is passed over",
         "[TASK_1]\nTIME=12:00\nMODULE=Noon\n[TASK_2]\nTIME=08:00\nMODULE=Eight\n",
         QTime(6, 0),
         {"0 12:00:03 PLAY Eight", "1 12:00:03 PLAY Eight"}},
        {"one task: it closes at 24:00 and fires on a late start",
         "[TASK_1]\nTIME=07:00\nMODULE=A\n", QTime(23, 59, 57),
         {"0 23:59:57 PLAY A", "1 07:00:00 PLAY A"}},
        {"a task at 00:00 fires once the mark has moved",
         "[TASK_1]\nTIME=00:00\nMODULE=A\n[TASK_2]\nTIME=18:00\nMODULE=B\n", QTime(19, 0),
         {"0 19:00:03 PLAY B", "1 00:00:03 PLAY A", "1 18:00:00 PLAY B"}},
        {"every task at 00:00: each fires once a day", "[TASK_1]\nTIME=00:00\nMODULE=A\n",
         QTime(0, 0), {"0 00:00:00 PLAY A", "1 00:00:03 PLAY A"}},
        {"every task at 00:00, two of them: the later, once a day",
         "[TASK_1]\nTIME=00:00\nMODULE=A\n[TASK_2]\nTIME=00:00\nMODULE=B\n", QTime(0, 0),
         {"0 00:00:03 PLAY B", "1 00:00:06 PLAY B"}},
        {"no sections: only the mark, nothing fires", "", QTime(0, 0), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writePlaylist(c.playlist);
        loadAt(0, c.loadedAt);
        runUntil(2, QTime(0, 0));
        EXPECT_EQ(takeFired(), c.fired);
    }
}

TEST_F(ScheduleDay, LoadingKeepsOnlyTasksThatCanRun)
{
    // Longer than any fixed field; a schedule is in GB18030.
    const QString longModule = QString(40, u'm') + QStringLiteral("节目");
    writePlaylist("[TASK_1]\nTIME=08:00\nCMD=0\nMODULE=ok\n"
                  "[TASK_2]\nTIME=8:00\nMODULE=short hour\n"
                  "[TASK_3]\nTIME=24:00\nMODULE=past midnight\n"
                  "[TASK_4]\nTIME=12:60\nMODULE=bad minute\n"
                  "[TASK_5]\nTIME=12-00\nMODULE=bad colon\n"
                  "[TASK_6]\nMODULE=no time\n"
                  "[TASK_7]\nTIME=09:00\nCMD=2\nMODULE=cmd 2\n"
                  "[TASK_8]\nTIME=09:00\nCMD=x\nMODULE=cmd x\n"
                  "[TASK_9]\nTIME=09:00\nCMD=-1\nMODULE=cmd -1\n"
                  "[TASK_10]\nTIME= 10:00 \nCMD=1\n"
                  "[TASK_11]\nTIME=11:00\nMODULE=" +
                  toGb18030(longModule) +
                  "\n"
                  // The numbers stop at the first missing section.
                  "[TASK_13]\nTIME=13:00\nMODULE=after a gap\n");
    loadAt(0, QTime(6, 0));
    const QList<SchTask> tasks = m_executor.tasks();
    ASSERT_EQ(tasks.size(), 4);
    EXPECT_EQ(tasks[0], (SchTask{"08:00", "PLAY", "ok"}));
    EXPECT_EQ(tasks[1], (SchTask{"10:00", "SHUT", ""}));
    EXPECT_EQ(tasks[2], (SchTask{"11:00", "PLAY", longModule}));
    EXPECT_TRUE(tasks[3].endOfDay);
}

TEST_F(ScheduleDay, WithoutAPlaylistNothingRuns)
{
    writePlaylist("[TASK_1]\nTIME=08:00\nMODULE=A\n");
    loadAt(0, QTime(7, 0));
    ASSERT_EQ(m_executor.tasks().size(), 2);
    ASSERT_TRUE(QFile::remove(m_dir.path() + QStringLiteral("/playlist.ini")));
    loadAt(0, QTime(7, 0));
    EXPECT_TRUE(m_executor.tasks().isEmpty());
    runUntil(1, QTime(12, 0));
    EXPECT_TRUE(takeFired().isEmpty());
}

TEST_F(ScheduleDay, APlaylistThatCannotBeReadIsReported)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("playlist.ini")));
    m_now = QDateTime(m_day0, QTime(7, 0));
    QString error;
    EXPECT_FALSE(m_executor.LoadPlaylist(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(m_executor.tasks().isEmpty());
}

TEST(CmdExecutor, QueueEntriesHaveANameAndAParameter)
{
    TCmdExecutor queue;
    queue.setEnabled(false);
    EXPECT_EQ(queue.CmdName(), QString());
    EXPECT_EQ(queue.CmdParam(), QString());
    queue.NextCmd(); // nothing to remove

    queue.AddCmd(QStringLiteral("EXIT"));
    queue.AddCmd(QStringLiteral("PLAY=节目=2"));
    queue.AddCmd(QStringLiteral("PLAY="));
    EXPECT_EQ(queue.commands(), QStringList({"EXIT=NULL", "PLAY=节目=2", "PLAY="}));
    EXPECT_EQ(queue.CmdName(), "EXIT");
    EXPECT_EQ(queue.CmdParam(), "NULL");
    queue.NextCmd();
    EXPECT_EQ(queue.CmdName(), "PLAY");
    EXPECT_EQ(queue.CmdParam(), "节目=2");
    queue.NextCmd();
    EXPECT_EQ(queue.CmdName(), "PLAY");
    EXPECT_EQ(queue.CmdParam(), "");
    queue.NextCmd();
    EXPECT_TRUE(queue.commands().isEmpty());
}

TEST(CmdExecutor, ConnectionThreadsAppendWhileTheOwnerDrains)
{
    TCmdExecutor queue;
    queue.setEnabled(false);
    constexpr int threads = 4;
    constexpr int perThread = 2000;
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t)
        writers.emplace_back([&queue, t] {
            for (int i = 0; i < perThread; ++i)
                queue.AddCmd(QStringLiteral("PLAY=%1.%2").arg(t).arg(i));
        });
    // The owner reads the head and removes it, as its tick does.
    std::vector<int> next(threads, 0);
    int drained = 0;
    bool inOrder = true;
    while (drained < threads * perThread) {
        if (queue.CmdName().isEmpty()) {
            std::this_thread::yield();
            continue;
        }
        const QStringList parts = queue.CmdParam().split(u'.');
        const int t = parts.value(0).toInt();
        inOrder = inOrder && parts.value(1).toInt() == next[t]++;
        queue.NextCmd();
        ++drained;
    }
    for (std::thread& w : writers)
        w.join();
    EXPECT_TRUE(inOrder);
    EXPECT_TRUE(queue.commands().isEmpty());
}

} // namespace
} // namespace quorvel::test
