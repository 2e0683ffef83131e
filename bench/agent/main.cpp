// Agent benchmark, run by hand:
//   (a) a file upload ("FIL" and its raw bytes) from a loopback client into a
//       real command server, beside a raw loopback copy of the same bytes
//       into a file on the same disk;
//   (b) status requests ("HLO") per second and their reply times with many
//       clients at once;
//   (c) the agent's peak memory during uploads of two sizes.
// The agent and the raw receiver run in processes of their own (this program
// started again with --serve-agent or --serve-raw), so their memory is their
// own and the clients do not share their cores' time slices with them.

#include "agent/cmdexecutor.h"
#include "agent/commandserver.h"
#include "agent/repository.h"
#include "agent/systemoperations.h"
#include "bench/agent/benchhost.h"
#include "bench/agent/loopback.h"
#include "core/wire.h"
#include "platform/system/recordingpowercontrol.h"
#include "platform/system/recordingsystemclock.h"
#include "platform/system/statvfsdiskspace.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quorvel::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr qint64 MiB = 1024 * 1024;
// The console sends file content in blocks of this size.
constexpr qsizetype SendBlock = wire::ChunkBytes;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits for the parent to close our standard input: the parent reads our
// memory figures while we still run.
void waitForParent()
{
    std::string line;
    while (std::getline(std::cin, line)) {
    }
}

int serveAgent(const QString& repositoryPath)
{
    StatvfsDiskSpace disk;
    Repository repository(repositoryPath, QString(), disk);
    RecordingSystemClock clock; // a benchmark never sets the machine's clock
    RecordingPowerControl power;
    SystemOperations system(clock, power);
    TCmdExecutor commands;
    commands.setEnabled(false);
    BenchHost host;
    CommandServer server(repository, system, commands, host);
    const QString error = server.listen(QStringLiteral("127.0.0.1"), 0);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "agent: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("PORT %u\n", unsigned(server.port()));
    std::fflush(stdout);
    waitForParent();
    server.close();
    return 0;
}

// Header line "<size> <file name or ->", then the bytes; replies "ok" once
// they are all in the file ("-": thrown away).
void serveRawConnection(int fd, const QString& folder)
{
    const QByteArray header = loopback::readLine(fd);
    const qsizetype blank = header.indexOf(' ');
    qint64 left = header.left(blank).toLongLong();
    const QByteArray name = header.mid(blank + 1);
    int out = -1;
    if (name != "-")
        out = ::open(QFile::encodeName(folder + u'/' + QString::fromUtf8(name)).constData(),
                     O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char> buffer(256 * 1024);
    bool ok = name == "-" || out >= 0;
    while (ok && left > 0) {
        const ssize_t n = ::recv(fd, buffer.data(), size_t(std::min<qint64>(left, qint64(buffer.size()))), 0);
        if (n <= 0) {
            ok = false;
            break;
        }
        left -= n;
        for (ssize_t done = 0; out >= 0 && done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
    }
    if (out >= 0)
        ::close(out);
    loopback::sendAll(fd, QByteArray(ok ? "ok\r\n" : "failed\r\n"));
    loopback::closeSocket(fd);
}

int serveRaw(const QString& folder)
{
    uint16_t port = 0;
    const int listener = loopback::listenAny(&port);
    if (listener < 0) {
        std::perror("raw: listen");
        return 1;
    }
    std::printf("PORT %u\n", unsigned(port));
    std::fflush(stdout);
    std::thread acceptor([listener, folder] {
        for (;;) {
            const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                return;
            serveRawConnection(fd, folder);
        }
    });
    waitForParent();
    ::shutdown(listener, SHUT_RDWR);
    ::close(listener);
    acceptor.join();
    return 0;
}

// A server process of ours, started and ended by the parent.
struct Child {
    std::unique_ptr<QProcess> process;
    uint16_t port = 0;

    static std::optional<Child> start(const QStringList& arguments)
    {
        Child child;
        child.process = std::make_unique<QProcess>();
        child.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.process->start(QCoreApplication::applicationFilePath(), arguments);
        if (!child.process->waitForStarted(10000))
            return std::nullopt;
        while (!child.process->canReadLine())
            if (!child.process->waitForReadyRead(10000))
                return std::nullopt;
        const QByteArray line = child.process->readLine().trimmed();
        if (!line.startsWith("PORT "))
            return std::nullopt;
        child.port = uint16_t(line.mid(5).toUInt());
        return child;
    }

    // From /proc: "VmHWM" (peak resident set) or "VmRSS", in KiB.
    qint64 memoryKiB(const char* field) const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(process->processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith(field))
                return line.mid(qsizetype(std::strlen(field)) + 1).trimmed().split(' ').value(0).toLongLong();
        return -1;
    }

    // User and system time of all its threads so far, in seconds.
    double cpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(process->processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray text = stat.readAll();
        // Fields after the command name, which is in parentheses and may
        // hold blanks: state is field 3, utime 14, stime 15.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        const double ticks = double(fields.value(11).toLongLong() + fields.value(12).toLongLong());
        return ticks / double(::sysconf(_SC_CLK_TCK));
    }

    void stop()
    {
        process->closeWriteChannel();
        if (!process->waitForFinished(10000))
            process->kill();
        process->waitForFinished(5000);
    }
};

QByteArray makePattern()
{
    QByteArray bytes(MiB, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 131 + 7) % 251);
    return bytes;
}

bool sendContent(int fd, const QByteArray& pattern, qint64 size)
{
    for (qint64 at = 0; at < size; at += SendBlock) {
        const qsizetype n = qsizetype(std::min<qint64>(SendBlock, size - at));
        const qsizetype offset = qsizetype(at % pattern.size());
        if (!loopback::sendAll(fd, pattern.constData() + offset, size_t(n)))
            return false;
    }
    return true;
}

// Seconds from connect until the agent has stored the file: a status query
// sent after the content is answered only once the last byte is written and
// the file is in place.
std::optional<double> uploadToAgent(uint16_t port, const QByteArray& name, qint64 size,
                                    const QByteArray& pattern)
{
    const Clock::time_point start = Clock::now();
    const int fd = loopback::connectTo(port);
    if (fd < 0)
        return std::nullopt;
    bool ok = loopback::sendAll(fd, wire::frameLine(wire::formatFileLine(QString::fromUtf8(name), qint32(size))));
    ok = ok && loopback::readLine(fd) == wire::FileOk;
    ok = ok && sendContent(fd, pattern, size);
    ok = ok && loopback::sendAll(fd, wire::frameLine(wire::Hello));
    ok = ok && loopback::readLine(fd) == wire::Standby;
    const double seconds = secondsSince(start);
    loopback::closeSocket(fd);
    return ok ? std::optional<double>(seconds) : std::nullopt;
}

std::optional<double> rawCopy(uint16_t port, const QByteArray& name, qint64 size,
                              const QByteArray& pattern)
{
    const Clock::time_point start = Clock::now();
    const int fd = loopback::connectTo(port);
    if (fd < 0)
        return std::nullopt;
    bool ok = loopback::sendAll(fd, QByteArray::number(size) + ' ' + name + '\n');
    ok = ok && sendContent(fd, pattern, size);
    ok = ok && loopback::readLine(fd) == "ok";
    const double seconds = secondsSince(start);
    loopback::closeSocket(fd);
    return ok ? std::optional<double>(seconds) : std::nullopt;
}

double mibPerSecond(qint64 size, double seconds) { return double(size) / double(MiB) / seconds; }

struct UploadFigures {
    std::vector<double> agent; // MiB/s per round
    std::vector<double> raw;
    std::vector<double> socketOnly;
    double agentCpuMsPerMiB = 0;
    double rawCpuMsPerMiB = 0;
    qint64 peakKiB = 0;
    qint64 startKiB = 0;
    bool ok = true;
};

double best(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

UploadFigures measureUploads(const QString& folder, qint64 size, int rounds, const QByteArray& pattern)
{
    UploadFigures figures;
    const QString repo = folder + QStringLiteral("/repo/");
    const QString raw = folder + QStringLiteral("/raw");
    QDir().mkpath(repo);
    QDir().mkpath(raw);
    std::optional<Child> agent = Child::start({QStringLiteral("--serve-agent"), repo});
    std::optional<Child> receiver = Child::start({QStringLiteral("--serve-raw"), raw});
    if (!agent || !receiver) {
        std::fprintf(stderr, "could not start the servers\n");
        figures.ok = false;
        return figures;
    }
    figures.startKiB = agent->memoryKiB("VmHWM:");
    std::printf("  %4lld MiB  round  agent MiB/s  raw MiB/s  socket only MiB/s\n", size / MiB);
    double agentCpu = 0;
    double rawCpu = 0;
    for (int round = 1; round <= rounds; ++round) {
        QFile::remove(repo + QStringLiteral("upload.bin"));
        QFile::remove(raw + QStringLiteral("/upload.bin"));
        auto timedAgent = [&] {
            const double before = agent->cpuSeconds();
            const std::optional<double> seconds = uploadToAgent(agent->port, "upload.bin", size, pattern);
            agentCpu += agent->cpuSeconds() - before;
            return seconds;
        };
        auto timedRaw = [&] {
            const double before = receiver->cpuSeconds();
            const std::optional<double> seconds = rawCopy(receiver->port, "upload.bin", size, pattern);
            rawCpu += receiver->cpuSeconds() - before;
            return seconds;
        };
        // Alternate the order so that a drift of the machine's load or of
        // the page cache does not favour one side.
        std::optional<double> a;
        std::optional<double> r;
        if (round % 2 == 1) {
            a = timedAgent();
            r = timedRaw();
        } else {
            r = timedRaw();
            a = timedAgent();
        }
        const std::optional<double> s = rawCopy(receiver->port, "-", size, pattern);
        const bool stored = QFileInfo(repo + QStringLiteral("upload.bin")).size() == size;
        if (!a || !r || !s || !stored) {
            std::fprintf(stderr, "  round %d failed (agent %s, raw %s, stored %s)\n", round,
                         a ? "ok" : "failed", r ? "ok" : "failed", stored ? "yes" : "no");
            figures.ok = false;
            continue;
        }
        std::printf("            %5d  %11.1f  %9.1f  %17.1f\n", round, mibPerSecond(size, *a),
                    mibPerSecond(size, *r), mibPerSecond(size, *s));
        figures.agent.push_back(mibPerSecond(size, *a));
        figures.raw.push_back(mibPerSecond(size, *r));
        figures.socketOnly.push_back(mibPerSecond(size, *s));
    }
    const double mibMoved = double(size) / double(MiB) * double(figures.agent.size());
    if (mibMoved > 0) {
        figures.agentCpuMsPerMiB = agentCpu * 1000.0 / mibMoved;
        figures.rawCpuMsPerMiB = rawCpu * 1000.0 / mibMoved;
    }
    figures.peakKiB = agent->memoryKiB("VmHWM:");
    agent->stop();
    receiver->stop();
    QFile::remove(repo + QStringLiteral("upload.bin"));
    QFile::remove(raw + QStringLiteral("/upload.bin"));
    return figures;
}

struct StatusFigures {
    qint64 requests = 0;
    qint64 failures = 0;
    double seconds = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    double maxMs = 0;
};

// `clients` threads ask "HLO" for `seconds`; each on a connection of its own
// per request (as the console does) or all on one connection per client.
StatusFigures measureStatus(uint16_t port, int clients, double seconds, bool connectionPerRequest)
{
    std::vector<std::vector<float>> latencies(static_cast<size_t>(clients));
    std::vector<qint64> failures(static_cast<size_t>(clients), 0);
    std::atomic<bool> go{false};
    const QByteArray request = wire::frameLine(wire::Hello);
    const Clock::time_point end =
        Clock::now() + std::chrono::milliseconds(200) +
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            while (!go.load())
                std::this_thread::yield();
            std::vector<float>& mine = latencies[size_t(c)];
            mine.reserve(200000);
            int fd = -1;
            while (Clock::now() < end) {
                const Clock::time_point start = Clock::now();
                if (fd < 0 && (fd = loopback::connectTo(port)) < 0) {
                    ++failures[size_t(c)];
                    continue;
                }
                const bool ok = loopback::sendAll(fd, request) &&
                                loopback::readLine(fd) == wire::Standby;
                if (!ok || connectionPerRequest) {
                    loopback::closeSocket(fd);
                    fd = -1;
                }
                if (ok)
                    mine.push_back(float(secondsSince(start) * 1000.0));
                else
                    ++failures[size_t(c)];
            }
            if (fd >= 0)
                loopback::closeSocket(fd);
        });
    }
    const Clock::time_point start = Clock::now();
    go = true;
    for (std::thread& t : threads)
        t.join();
    StatusFigures figures;
    figures.seconds = secondsSince(start);
    std::vector<float> all;
    for (int c = 0; c < clients; ++c) {
        all.insert(all.end(), latencies[size_t(c)].begin(), latencies[size_t(c)].end());
        figures.failures += failures[size_t(c)];
    }
    figures.requests = qint64(all.size());
    if (!all.empty()) {
        std::sort(all.begin(), all.end());
        auto at = [&all](double q) { return double(all[size_t(q * double(all.size() - 1))]); };
        figures.p50Ms = at(0.50);
        figures.p99Ms = at(0.99);
        figures.maxMs = double(all.back());
    }
    return figures;
}

void printMachine()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QByteArray model = "unknown CPU";
    if (cpuinfo.open(QIODevice::ReadOnly))
        for (const QByteArray& line : cpuinfo.readAll().split('\n'))
            if (line.startsWith("model name")) {
                model = line.mid(line.indexOf(':') + 1).trimmed();
                break;
            }
    QFile load(QStringLiteral("/proc/loadavg"));
    QByteArray loadavg;
    if (load.open(QIODevice::ReadOnly))
        loadavg = load.readAll().trimmed();
    std::printf("machine: %u cores, %s; load average at start: %s\n",
                std::thread::hardware_concurrency(), model.constData(), loadavg.constData());
}

int runBenchmark(const QCommandLineParser& options)
{
    const qint64 largeSize = options.value(QStringLiteral("size-mib")).toLongLong() * MiB;
    const qint64 smallSize = options.value(QStringLiteral("small-mib")).toLongLong() * MiB;
    const int rounds = std::max(1, options.value(QStringLiteral("rounds")).toInt());
    const int clients = std::max(1, options.value(QStringLiteral("clients")).toInt());
    const double seconds = std::max(0.5, options.value(QStringLiteral("seconds")).toDouble());
    QTemporaryDir work(options.value(QStringLiteral("dir")) + QStringLiteral("/agent-bench-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a folder below %s\n",
                     qPrintable(options.value(QStringLiteral("dir"))));
        return 1;
    }
    printMachine();
    std::printf("folder: %s\n\n", qPrintable(work.path()));
    const QByteArray pattern = makePattern();

    std::printf("(a) upload in %lld-byte blocks, %d rounds (medians and bests)\n", qint64(SendBlock), rounds);
    const UploadFigures small = measureUploads(work.path(), smallSize, rounds, pattern);
    const UploadFigures large = measureUploads(work.path(), largeSize, rounds, pattern);
    for (const auto& [size, f] : {std::pair{smallSize, small}, std::pair{largeSize, large}}) {
        const double ratioMedian = median(f.raw) > 0 ? 100.0 * median(f.agent) / median(f.raw) : 0;
        const double ratioBest = best(f.raw) > 0 ? 100.0 * best(f.agent) / best(f.raw) : 0;
        std::printf("  %4lld MiB: agent %.1f MiB/s (best %.1f), raw copy to a file %.1f MiB/s"
                    " (best %.1f): agent/raw %.0f %% of the medians, %.0f %% of the bests;"
                    " socket alone %.1f MiB/s\n",
                    size / MiB, median(f.agent), best(f.agent), median(f.raw), best(f.raw),
                    ratioMedian, ratioBest, median(f.socketOnly));
        std::printf("            server CPU per MiB: agent %.2f ms, raw receiver %.2f ms\n",
                    f.agentCpuMsPerMiB, f.rawCpuMsPerMiB);
    }

    std::printf("\n(c) agent peak resident memory (VmHWM)\n");
    std::printf("  at start %lld KiB; after %lld MiB uploads %lld KiB; after %lld MiB uploads %lld KiB\n",
                small.startKiB, smallSize / MiB, small.peakKiB, largeSize / MiB, large.peakKiB);

    std::printf("\n(b) \"HLO\" with %d clients for %.1f s each\n", clients, seconds);
    std::optional<Child> agent = Child::start(
        {QStringLiteral("--serve-agent"), work.path() + QStringLiteral("/repo/")});
    if (!agent)
        return 1;
    for (const bool perRequest : {true, false}) {
        const StatusFigures f = measureStatus(agent->port, clients, seconds, perRequest);
        std::printf("  %-36s %8.0f requests/s  p50 %.2f ms  p99 %.2f ms  max %.2f ms  failed %lld\n",
                    perRequest ? "a connection per request (console):" : "one connection per client:",
                    double(f.requests) / f.seconds, f.p50Ms, f.p99Ms, f.maxMs, f.failures);
    }
    std::printf("  agent peak resident memory %lld KiB\n", agent->memoryKiB("VmHWM:"));
    agent->stop();
    return small.ok && large.ok ? 0 : 1;
}

} // namespace
} // namespace quorvel::bench

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Upload, status and memory figures of the agent"));
    options.addHelpOption();
    options.addOptions({
        {QStringLiteral("dir"), QStringLiteral("Folder for the uploads (same disk as the agent's)."),
         QStringLiteral("folder"), QDir::tempPath()},
        {QStringLiteral("size-mib"), QStringLiteral("Large upload size."), QStringLiteral("MiB"),
         QStringLiteral("200")},
        {QStringLiteral("small-mib"), QStringLiteral("Small upload size."), QStringLiteral("MiB"),
         QStringLiteral("50")},
        {QStringLiteral("rounds"), QStringLiteral("Uploads per size."), QStringLiteral("n"),
         QStringLiteral("5")},
        {QStringLiteral("clients"), QStringLiteral("Status clients at once."), QStringLiteral("n"),
         QStringLiteral("50")},
        {QStringLiteral("seconds"), QStringLiteral("Duration of each status run."),
         QStringLiteral("s"), QStringLiteral("3")},
        {QStringLiteral("serve-agent"), QStringLiteral("(internal) Run an agent on a repository."),
         QStringLiteral("folder")},
        {QStringLiteral("serve-raw"), QStringLiteral("(internal) Run the raw receiver."),
         QStringLiteral("folder")},
    });
    options.process(app);
    if (options.isSet(QStringLiteral("serve-agent")))
        return quorvel::bench::serveAgent(options.value(QStringLiteral("serve-agent")));
    if (options.isSet(QStringLiteral("serve-raw")))
        return quorvel::bench::serveRaw(options.value(QStringLiteral("serve-raw")));
    return quorvel::bench::runBenchmark(options);
}
