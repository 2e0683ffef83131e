// libFuzzer target: random request lines, bodies and content bytes go into
// one AgentSession over a small temporary repository. It fails (and
// libFuzzer keeps the input) when a file outside the repository is created,
// changed or removed, when a file of the shared "Z:" folder is created or
// changed, or when an upload leaves a temporary file behind.
//
// Layout below the root ($QUORVEL_FUZZ_ROOT, default /tmp/quorvel-agent-fuzz):
//   sentinel.txt, a/sentinel.txt, a/b/sentinel.txt   files a name must not reach
//   a/b/repo/                                         the repository
//   share/                                            the "Z:\" folder
//   cwd/                                              the current folder
// The first byte of an input picks the size of the pieces the rest arrives
// in, as a socket would cut it.

#include "agent/agenthost.h"
#include "agent/agentsession.h"
#include "agent/cmdexecutor.h"
#include "agent/repository.h"
#include "agent/systemoperations.h"
#include "agent/uploadfile.h"
#include "platform/system/fixeddiskspace.h"
#include "platform/system/recordingpowercontrol.h"
#include "platform/system/recordingsystemclock.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

using namespace quorvel;

class FuzzHost : public AgentHost {
public:
    QByteArray GetPlayStatus() override { return "STB"; }
    void postAgentCmd(int) override {}
};

// What a file looked like: kind, size and a digest of its bytes.
using Snapshot = std::map<QString, QByteArray>;

QByteArray describe(const QFileInfo& info)
{
    if (info.isSymLink())
        return "link:" + info.symLinkTarget().toUtf8();
    if (info.isDir())
        return "dir";
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return "unreadable";
    return "file:" + QByteArray::number(info.size()) + ':' +
           QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
}

Snapshot snapshot(const QString& folder, const QString& skip)
{
    Snapshot files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!skip.isEmpty() && (path + u'/').startsWith(skip))
            continue;
        files[path] = describe(it.fileInfo());
    }
    return files;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

[[noreturn]] void fail(const char* what, const QString& path)
{
    std::fprintf(stderr, "FUZZ FAILURE: %s: %s\n", what, qPrintable(path));
    std::abort();
}

struct World {
    QString root;
    QString repo;
    QString share;
    Snapshot outside;
    Snapshot shared;

    FixedDiskSpace disk{DiskFigures{1LL << 30, 1 << 20}}; // uploads stay small
    RecordingSystemClock clock;
    RecordingPowerControl power;
    SystemOperations system{clock, power};
    std::unique_ptr<Repository> repository;
    std::unique_ptr<TCmdExecutor> commands;
    FuzzHost host;

    void resetRepository() const
    {
        QDir(repo).removeRecursively();
        QDir().mkpath(repo);
        write(repo + QStringLiteral("a.mb"),
              "[Common]\r\nWindows Number=1\r\n[Window1]\r\nSource_1=[F]a.jpg\r\n");
        write(repo + QStringLiteral("a.jpg"), "jpeg");
        write(repo + QStringLiteral("playlist.ini"), "[TASK_1]\r\nTIME=08:00\r\nMODULE=a\r\n");
        write(repo + QStringLiteral(".hidden"), "hidden");
        // A link out of the folder, as an operator might leave one: an
        // upload or a delete must replace or remove the link, not its target.
        QFile::link(root + QStringLiteral("/sentinel.txt"), repo + QStringLiteral("link.txt"));
    }
};

World* world = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    world = new World;
    const QByteArray root = qgetenv("QUORVEL_FUZZ_ROOT");
    world->root = root.isEmpty() ? QStringLiteral("/tmp/quorvel-agent-fuzz") : QString::fromUtf8(root);
    QDir(world->root).removeRecursively();
    world->repo = world->root + QStringLiteral("/a/b/repo/");
    world->share = world->root + QStringLiteral("/share/");
    for (const QString& folder : {world->repo, world->share, world->root + QStringLiteral("/cwd"),
                                  world->share + QStringLiteral("sub")})
        QDir().mkpath(folder);
    write(world->root + QStringLiteral("/sentinel.txt"), "root");
    write(world->root + QStringLiteral("/a/sentinel.txt"), "a");
    write(world->root + QStringLiteral("/a/b/sentinel.txt"), "b");
    write(world->root + QStringLiteral("/a/b/x.mb"), "beside the repository");
    write(world->share + QStringLiteral("z.jpg"), "z");
    write(world->share + QStringLiteral("sub/y.png"), "y");
    // A name that is used without the repository in front lands here.
    if (::chdir(QFile::encodeName(world->root + QStringLiteral("/cwd")).constData()) != 0)
        fail("cannot enter", world->root + QStringLiteral("/cwd"));

    world->repository = std::make_unique<Repository>(world->repo, world->share, world->disk);
    world->commands = std::make_unique<TCmdExecutor>();
    world->commands->setEnabled(false);
    world->resetRepository();
    world->outside = snapshot(world->root, world->repo);
    for (auto it = world->outside.begin(); it != world->outside.end();)
        it = (it->first + u'/').startsWith(world->share) ? world->outside.erase(it) : std::next(it);
    world->shared = snapshot(world->share, QString());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t piece = 1 + size_t(data[0]) * size_t(data[0]) / 8; // 1 to 8129 bytes
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    size_t left = size - 1;
    {
        AgentSession session({*world->repository, world->system, *world->commands, world->host});
        while (left > 0) {
            const size_t n = std::min(piece, left);
            const AgentSession::Output out = session.receive(QByteArrayView(bytes, qsizetype(n)));
            bytes += n;
            left -= n;
            if (out.close)
                break;
        }
    }
    while (!world->commands->CmdName().isEmpty())
        world->commands->NextCmd();

    // The session is gone: an unfinished upload must have left nothing.
    for (const QString& name : QDir(world->repo).entryList(QDir::AllEntries | QDir::Hidden | QDir::System))
        if (name.startsWith(QLatin1String(UploadFile::TempPrefix)))
            fail("temporary upload file left behind", world->repo + name);

    Snapshot outside = snapshot(world->root, world->repo);
    for (auto it = outside.begin(); it != outside.end();)
        it = (it->first + u'/').startsWith(world->share) ? outside.erase(it) : std::next(it);
    if (outside != world->outside) {
        for (const auto& [path, what] : outside)
            if (world->outside.count(path) == 0 || world->outside.at(path) != what)
                fail("created or changed outside the repository", path);
        for (const auto& [path, what] : world->outside)
            if (outside.count(path) == 0)
                fail("removed outside the repository", path);
    }
    // "DEL" may remove files of the shared folder; nothing may appear there
    // or change.
    const Snapshot shared = snapshot(world->share, QString());
    for (const auto& [path, what] : shared)
        if (world->shared.count(path) == 0 || world->shared.at(path) != what)
            fail("created or changed in the shared folder", path);
    if (shared.size() != world->shared.size()) {
        QDir().mkpath(world->share + QStringLiteral("sub"));
        write(world->share + QStringLiteral("z.jpg"), "z");
        write(world->share + QStringLiteral("sub/y.png"), "y");
    }
    world->resetRepository();
    return 0;
}
