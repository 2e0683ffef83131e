#include "platform/windows/x11windowsystem.h"
#include "tests/agentapp/waituntil.h"
#include "tests/agentapp/xvfbserver.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using quorvel::WindowId;
using quorvel::WindowInfo;
using quorvel::X11WindowSystem;

namespace {

enum class Desktop { Bare, Openbox };

std::string desktopName(const testing::TestParamInfo<Desktop>& info)
{
    return info.param == Desktop::Bare ? "NoWindowManager" : "Openbox";
}

// Windows on a display of the test's own, with or without a window manager;
// the windows are test players ("sgPlayer<n>").
class X11WindowSystemTest : public testing::TestWithParam<Desktop> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QString error;
        ASSERT_TRUE(server.start(&error)) << error.toStdString();
        if (GetParam() == Desktop::Openbox) {
            ASSERT_TRUE(server.startWindowManager(&error)) << error.toStdString();
        }
        windows = std::make_unique<X11WindowSystem>(server.display());
        QFile model(dir.filePath("t.mb"));
        ASSERT_TRUE(model.open(QIODevice::WriteOnly));
        model.write("[Window1]\r\nRectangle=10,20,210,170\r\n"
                    "[Window2]\r\nRectangle=300,100,500,300\r\n");
    }

    void TearDown() override
    {
        for (auto& player : players) {
            player->kill();
            player->waitForFinished(5000);
        }
    }

    QProcess* startPlayer(int number, const QString& refuse = {})
    {
        auto player = std::make_unique<QProcess>();
        QProcessEnvironment env = server.environment();
        env.insert("QUORVEL_TEST_PLAYER_REFUSE", refuse);
        env.insert("QUORVEL_TEST_PLAYER_LOG", dir.filePath("players.log"));
        player->setProcessEnvironment(env);
        player->setWorkingDirectory(dir.path());
        player->start(QUORVEL_TEST_PLAYER, {"0", QString::number(number), "t.mb"});
        EXPECT_TRUE(player->waitForStarted(5000));
        players.push_back(std::move(player));
        const QString title = QString("sgPlayer%1").arg(number);
        EXPECT_TRUE(waitUntil([&] { return windows->findByTitle(title).has_value(); }))
            << "no window " << title.toStdString();
        return players.back().get();
    }

    std::optional<WindowInfo> info(WindowId id)
    {
        for (const WindowInfo& w : windows->topLevelWindows())
            if (w.id == id)
                return w;
        return std::nullopt;
    }

    QTemporaryDir dir;
    XvfbServer server;
    std::unique_ptr<X11WindowSystem> windows;
    std::vector<std::unique_ptr<QProcess>> players;
};

TEST_P(X11WindowSystemTest, FindsWindowsByTitleAndClassIgnoringCase)
{
    EXPECT_EQ(windows->hasWindowManager(), GetParam() == Desktop::Openbox);
    startPlayer(1);
    startPlayer(2);

    const auto first = windows->findByTitle("sgPlayer1");
    const auto second = windows->findByTitle("SGPLAYER2");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_FALSE(windows->findByTitle("sgPlayer3"));
    EXPECT_FALSE(windows->findByTitle("sgPlayer"));

    const auto listed = windows->topLevelWindows();
    int found = 0;
    for (const WindowInfo& w : listed) {
        if (w.title.startsWith("sgPlayer")) {
            ++found;
            EXPECT_EQ(w.instanceName, "browser");
            EXPECT_EQ(w.className, "Browser");
        }
    }
    EXPECT_EQ(found, 2);
    // The template's rectangle (left, top, right, bottom) is where the player
    // put its window.
    EXPECT_EQ(info(*first)->geometry.size(), QSize(200, 150));
    EXPECT_EQ(info(*second)->geometry.size(), QSize(200, 200));
    EXPECT_EQ(windows->findFirstByClass("TsgAgentForm"), std::nullopt);
    EXPECT_TRUE(windows->findFirstByClass("BROWSER").has_value());
}

TEST_P(X11WindowSystemTest, CloseRequestEndsAWillingPlayerOnly)
{
    QProcess* willing = startPlayer(1);
    QProcess* stubborn = startPlayer(2, "2");

    ASSERT_TRUE(windows->requestClose(*windows->findByTitle("sgPlayer1")));
    ASSERT_TRUE(windows->requestClose(*windows->findByTitle("sgPlayer2")));
    EXPECT_TRUE(willing->waitForFinished(10000));
    EXPECT_TRUE(waitUntil([&] { return !windows->findByTitle("sgPlayer1"); }));

    // The stubborn one got the same request, said no, and is still there.
    const QByteArray refusal = "refused\t" + QByteArray::number(stubborn->processId()) + "\t2";
    EXPECT_TRUE(waitUntil([&] {
        QFile log(dir.filePath("players.log"));
        return log.open(QIODevice::ReadOnly) && log.readAll().contains(refusal);
    }));
    EXPECT_EQ(stubborn->state(), QProcess::Running);
    EXPECT_TRUE(windows->findByTitle("sgPlayer2").has_value());
}

TEST_P(X11WindowSystemTest, MovesAndSizesAWindow)
{
    startPlayer(1);
    const WindowId id = *windows->findByTitle("sgPlayer1");
    ASSERT_TRUE(windows->moveResize(id, QRect(50, 60, 320, 240)));
    // A window manager puts its frame's corner where the window was asked
    // to go, so the client area lies a frame's width further in.
    const int frame = GetParam() == Desktop::Openbox ? 40 : 0;
    EXPECT_TRUE(waitUntil([&] {
        const QRect g = info(id).value_or(WindowInfo{}).geometry;
        return g.size() == QSize(320, 240) && g.x() >= 50 && g.x() <= 50 + frame &&
               g.y() >= 60 && g.y() <= 60 + frame;
    })) << "geometry is " << info(id)->geometry.x() << "," << info(id)->geometry.y() << " "
        << info(id)->geometry.width() << "x" << info(id)->geometry.height();
    EXPECT_FALSE(windows->moveResize(id, QRect(0, 0, 0, 10)));
}

TEST_P(X11WindowSystemTest, TopmostWindowStandsAboveLaterWindows)
{
    startPlayer(1);
    const WindowId low = *windows->findByTitle("sgPlayer1");
    startPlayer(2);
    auto topTitle = [&] {
        const auto list = windows->topLevelWindows();
        return list.empty() ? QString() : list.back().title;
    };
    EXPECT_TRUE(waitUntil([&] { return topTitle() == "sgPlayer2"; }));

    ASSERT_TRUE(windows->makeTopmost(low));
    EXPECT_TRUE(waitUntil([&] { return topTitle() == "sgPlayer1"; }));
    if (GetParam() == Desktop::Openbox) {
        // The manager keeps it in the layer above normal windows, so a window
        // that opens later still comes up below it.
        startPlayer(3);
        QThread::msleep(300);
        EXPECT_EQ(topTitle(), "sgPlayer1");
    }
}

TEST_P(X11WindowSystemTest, WindowClassOfOurOwnWindowIsFound)
{
    startPlayer(1);
    const WindowId id = *windows->findByTitle("sgPlayer1");
    ASSERT_TRUE(windows->setWindowClass(id, "tarrow", "TsgAgentForm"));
    EXPECT_EQ(windows->findFirstByClass("TsgAgentForm"), id);
    EXPECT_EQ(info(id)->instanceName, "tarrow");
}

TEST_P(X11WindowSystemTest, ManyThreadsAskAtOnce)
{
    startPlayer(1);
    startPlayer(2);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                const QString title = QString("sgPlayer%1").arg(1 + (t + i) % 2);
                if (!windows->findByTitle(title))
                    ++wrong;
                if (windows->topLevelWindows().size() < 2)
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Desktops, X11WindowSystemTest,
                         testing::Values(Desktop::Bare, Desktop::Openbox), desktopName);

TEST(X11WindowSystemStandalone, NoDisplayIsReportedAndFindsNothing)
{
    X11WindowSystem windows(":9987");
    QString reason;
    EXPECT_FALSE(windows.isAvailable(&reason));
    EXPECT_TRUE(reason.contains(":9987")) << reason.toStdString();
    EXPECT_TRUE(windows.topLevelWindows().empty());
    EXPECT_FALSE(windows.findByTitle("sgPlayer1"));
    EXPECT_FALSE(windows.requestClose(0x400001));
    EXPECT_FALSE(windows.makeTopmost(0x400001));
}

TEST(X11WindowSystemStandalone, ManagerThatEndedLeavesNoStaleList)
{
    QTemporaryDir dir;
    XvfbServer server;
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    ASSERT_TRUE(server.startWindowManager(&error)) << error.toStdString();
    X11WindowSystem windows(server.display());

    QProcess player;
    player.setProcessEnvironment(server.environment());
    player.setWorkingDirectory(dir.path());
    player.start(QUORVEL_TEST_PLAYER, {"0", "1", "none.mb"});
    ASSERT_TRUE(waitUntil([&] { return windows.findByTitle("sgPlayer1").has_value(); }));

    // The manager's client list stays on the root window after it ends; the
    // window is found all the same, and a closed one is not.
    server.stopWindowManager();
    EXPECT_TRUE(waitUntil([&] { return !windows.hasWindowManager(); }));
    ASSERT_TRUE(windows.findByTitle("sgPlayer1").has_value());
    ASSERT_TRUE(windows.requestClose(*windows.findByTitle("sgPlayer1")));
    EXPECT_TRUE(player.waitForFinished(10000));
    EXPECT_TRUE(waitUntil([&] { return !windows.findByTitle("sgPlayer1"); }));
}

} // namespace
