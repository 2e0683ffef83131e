// One status pass of the console's monitor (CheckAll) over 1000 terminals on
// loopback addresses: every other one a real agent server, the rest
// listening sockets that never accept (each costs the full connect
// time-out). The same pass runs with the monitor's concurrent queries and
// then one terminal after another.
//
//   terminals_bench [--terminals N] [--in-flight K ...] [--no-sequential]

#include "agent/cmdexecutor.h"
#include "agent/commandserver.h"
#include "agent/repository.h"
#include "agent/systemoperations.h"
#include "bench/terminals/silentlistener.h"
#include "bench/terminals/standbyhost.h"
#include "console/terminals/tcheckstatusthread.h"
#include "platform/system/fixeddiskspace.h"
#include "platform/system/recordingpowercontrol.h"
#include "platform/system/recordingsystemclock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

using namespace quorvel;

namespace {

QString addressOf(int index)
{
    // 127.0.1.1 ... : 250 terminals per third part.
    return QStringLiteral("127.0.%1.%2").arg(1 + index / 250).arg(1 + index % 250);
}

void raiseFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

struct PassFigures {
    double seconds = 0;
    int online = 0;
    int offline = 0;
};

PassFigures runPass(TermList& list, PowerTaskList& tasks, const CommandClient& client, int inFlight)
{
    // Every record starts offline, so the pass sees each answer as a change.
    const std::vector<TermItem> items = list.items();
    list.clear();
    for (TermItem item : items) {
        item.Online = false;
        item.Status = TermStatus::Offline;
        list.append(item);
    }
    TCheckStatusThread monitor(list, tasks, client, nullptr);
    monitor.setMaxInFlight(inFlight);
    QElapsedTimer timer;
    timer.start();
    monitor.CheckAll();
    PassFigures figures;
    figures.seconds = double(timer.nsecsElapsed()) / 1e9;
    for (const TermItem& item : list.items())
        (item.Online ? figures.online : figures.offline)++;
    return figures;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int terminals = 1000;
    bool sequential = true;
    QList<int> inFlights;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == u"--terminals" && i + 1 < args.size())
            terminals = args[++i].toInt();
        else if (args[i] == u"--in-flight" && i + 1 < args.size())
            inFlights << args[++i].toInt();
        else if (args[i] == u"--no-sequential")
            sequential = false;
        else {
            std::fprintf(stderr, "usage: terminals_bench [--terminals N] [--in-flight K ...] [--no-sequential]\n");
            return 1;
        }
    }
    if (inFlights.isEmpty())
        inFlights << TCheckStatusThread::DefaultMaxInFlight;
    raiseFileLimit();

    // One port for all: each terminal has an address of its own.
    quint16 port = 0;
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress(addressOf(0)), 0)) {
            std::fprintf(stderr, "cannot listen on %s\n", qPrintable(addressOf(0)));
            return 1;
        }
        port = probe.serverPort();
    }

    QTemporaryDir dir;
    FixedDiskSpace disk(DiskFigures{100LL << 30, 50LL << 30});
    RecordingSystemClock clock;
    RecordingPowerControl power;
    SystemOperations system(clock, power);
    Repository repository(dir.path() + u'/', QString(), disk);
    TCmdExecutor commands;
    commands.setEnabled(false);
    bench::StandbyHost host;

    std::vector<std::unique_ptr<CommandServer>> agents;
    std::vector<std::unique_ptr<bench::SilentListener>> silent;
    TermList list;
    for (int i = 0; i < terminals; ++i) {
        const QString address = addressOf(i);
        if (i % 2 == 0) {
            auto agent = std::make_unique<CommandServer>(repository, system, commands, host);
            const QString error = agent->listen(address, port);
            if (!error.isEmpty()) {
                std::fprintf(stderr, "agent on %s: %s\n", qPrintable(address), qPrintable(error));
                return 1;
            }
            agents.push_back(std::move(agent));
        } else {
            auto listener = std::make_unique<bench::SilentListener>();
            const QString error = listener->open(address, port);
            if (!error.isEmpty()) {
                std::fprintf(stderr, "listener on %s: %s\n", qPrintable(address), qPrintable(error));
                return 1;
            }
            silent.push_back(std::move(listener));
        }
        TermItem item;
        item.ID = QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
        item.IP = address;
        list.append(item);
    }

    // The silent ones must really be silent, or the figures mean nothing.
    if (terminals > 1) {
        QTcpSocket check;
        check.connectToHost(addressOf(1), port);
        if (check.waitForConnected(1500)) {
            std::fprintf(stderr, "a never-accepting listener accepted: its backlog is not full\n");
            return 1;
        }
    }

    ClientOptions options;
    options.port = port;
    const CommandClient client(options);
    PowerTaskList tasks;
    std::printf("CheckAll over %d terminals on 127.0.x.y port %u: %zu agents, %zu never accepting "
                "(connect time-out %d ms)\n",
                terminals, port, agents.size(), silent.size(), 1000);
    std::fflush(stdout);
    for (int inFlight : inFlights) {
        const PassFigures f = runPass(list, tasks, client, inFlight);
        std::printf("  concurrent, at most %4d in flight: %8.2f s  (%d online, %d offline)\n", inFlight,
                    f.seconds, f.online, f.offline);
        std::fflush(stdout);
    }
    if (sequential) {
        const PassFigures f = runPass(list, tasks, client, 1);
        std::printf("  one after another:                 %8.2f s  (%d online, %d offline)\n", f.seconds,
                    f.online, f.offline);
    }
    return 0;
}
