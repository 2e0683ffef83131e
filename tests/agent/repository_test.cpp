#include "core/wire.h"
#include "tests/agent/agentfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvel::test {
namespace {

using RepositoryRules = AgentFixture;

TEST(RepoFileName, KeepsTheBareNameOrTheWholeZPath)
{
    struct Case {
        QString path;
        QString name;
    };
    const Case cases[] = {
        {"a.jpg", "a.jpg"},
        {"C:\\media\\2024\\a.jpg", "a.jpg"},
        {"c:/media/a.jpg", "a.jpg"},
        {"media/sub\\a.jpg", "a.jpg"},
        {"D:a.jpg", "a.jpg"},
        {"\\\\server\\share\\a.jpg", "a.jpg"},
        {"C:\\media\\", ""},
        {"Z:\\sub\\a.jpg", "Z:\\sub\\a.jpg"},
        {"z:\\sub\\a.jpg", "z:\\sub\\a.jpg"},
        {"Z:/sub/a.jpg", "Z:/sub/a.jpg"},
        {"Z:a.jpg", "a.jpg"}, // no separator: drive Z's current folder, not the share
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Repository::RepoFileName(c.path), c.name) << c.path.toStdString();
}

TEST_F(RepositoryRules, FindRepoFilesStaysInsideItsFolders)
{
    for (const char* name : {"a.txt", "b.txt", "ab.txt", "[x].txt", "noext", ".hidden",
                             "playlist.ini", ".quorvel-upload-abc123"})
        writeRepoFile(name, "x");
    QDir().mkpath(repoPath() + "dir.txt");
    writeFile(repoPath() + "sub/inner.txt", "i");
    writeFile(outsidePath() + "out.txt", "o");
    writeFile(sharedPath() + "top.jpg", "t");
    writeFile(sharedPath() + "sub/z.jpg", "z");
    writeFile(sharedPath() + "sub/y.png", "y");
    writeFile(outsideSharedPath() + "out.jpg", "o");

    struct Case {
        QString name;
        QStringList found; // relative to the repository, or "Z/" for the share
    };
    const Case cases[] = {
        {"a.txt", {"a.txt"}},
        {"?.txt", {"a.txt", "b.txt"}},
        {"*.txt", {"[x].txt", "a.txt", "ab.txt", "b.txt"}},
        {"*.*", {".hidden", "[x].txt", "a.txt", "ab.txt", "b.txt", "noext", "playlist.ini"}},
        {"*", {".hidden", "[x].txt", "a.txt", "ab.txt", "b.txt", "noext", "playlist.ini"}},
        {"[x].txt", {"[x].txt"}},
        {"playlist.ini", {"playlist.ini"}},
        {"dir.txt", {}},
        {".quorvel-upload-abc123", {}},
        {"sub/inner.txt", {}},
        {"sub\\inner.txt", {}},
        {"../out.txt", {}},
        {"..\\out.txt", {}},
        {"C:\\x\\a.txt", {}},
        {"..", {}},
        {".", {}},
        {"", {}},
        {"a.txt\n", {}},
        {"Z:\\top.jpg", {"Z/top.jpg"}},
        {"z:/sub/z.jpg", {"Z/sub/z.jpg"}},
        {"Z:\\sub/*.*", {"Z/sub/y.png", "Z/sub/z.jpg"}},
        {"Z:\\.\\top.jpg", {"Z/top.jpg"}},
        {"Z:\\sub\\..\\top.jpg", {}},
        {"Z:\\..\\out.jpg", {}},
        {"Z:\\*\\z.jpg", {}},
        {"Z:\\sub", {}},
        {"Z:\\", {}},
    };
    for (const Case& c : cases) {
        QStringList found;
        for (const QString& path : m_repository->FindRepoFiles(c.name)) {
            if (path.startsWith(repoPath()))
                found << path.mid(repoPath().size());
            else if (path.startsWith(sharedPath()))
                found << QStringLiteral("Z/") + path.mid(sharedPath().size());
            else
                found << QStringLiteral("OUTSIDE ") + path;
        }
        found.sort();
        EXPECT_EQ(found, c.found) << c.name.toStdString();
    }
}

TEST_F(RepositoryRules, ALinkInTheFolderIsReplacedOrRemovedNeverFollowed)
{
    writeFile(outsidePath() + "target.txt", "outside");
    ASSERT_TRUE(QFile::link(outsidePath() + "target.txt", repoPath() + "link.txt"));
    ASSERT_TRUE(QFile::link(outsidePath() + "target.txt", repoPath() + "gone.txt"));

    std::unique_ptr<UploadFile> upload = m_repository->OpenUploadFile("link.txt", nullptr);
    ASSERT_TRUE(upload);
    ASSERT_TRUE(upload->write("uploaded", nullptr));
    ASSERT_TRUE(upload->finish(nullptr));
    EXPECT_FALSE(QFileInfo(repoPath() + "link.txt").isSymLink());
    EXPECT_EQ(readRepoFile("link.txt"), "uploaded");

    for (const QString& path : m_repository->FindRepoFiles("gone.txt"))
        EXPECT_TRUE(m_repository->deleteFile(path));
    EXPECT_FALSE(QFileInfo(repoPath() + "gone.txt").exists());

    QFile target(outsidePath() + "target.txt");
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "outside");
}

TEST_F(RepositoryRules, ListingLeavesOutWhatItsLinesCannotCarry)
{
    writeRepoFile("ok.txt", "12345");
    writeRepoFile("quo\"te.txt", "x");
    writeRepoFile(".hidden", "x");
    QDir().mkpath(repoPath() + "folder");
    // Sparse: no 3 GiB are written.
    {
        QFile big(repoPath() + "big.bin");
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(3LL << 30));
    }
    QList<QByteArray> lines = m_repository->ListRepository();
    std::sort(lines.begin(), lines.end());
    ASSERT_EQ(lines.size(), 2);
    const std::optional<wire::ListingEntry> big = wire::parseListingLine(lines[0]);
    const std::optional<wire::ListingEntry> ok = wire::parseListingLine(lines[1]);
    ASSERT_TRUE(big && ok);
    EXPECT_EQ(big->name, "big.bin");
    EXPECT_EQ(big->size, 2147483647);
    EXPECT_EQ(ok->name, "ok.txt");
    EXPECT_EQ(ok->size, 5);
}

TEST_F(RepositoryRules, UploadsOfOneNameReplaceItWhole)
{
    writeRepoFile("clip.mp4", "old");
    std::unique_ptr<UploadFile> first = m_repository->OpenUploadFile("clip.mp4", nullptr);
    std::unique_ptr<UploadFile> second = m_repository->OpenUploadFile("clip.mp4", nullptr);
    std::unique_ptr<UploadFile> dropped = m_repository->OpenUploadFile("clip.mp4", nullptr);
    ASSERT_TRUE(first && second && dropped);
    ASSERT_TRUE(first->write("first, ", nullptr));
    ASSERT_TRUE(second->write("second", nullptr));
    ASSERT_TRUE(dropped->write("never", nullptr));
    ASSERT_TRUE(first->write("whole", nullptr));
    EXPECT_EQ(readRepoFile("clip.mp4"), "old"); // nothing shows before the end
    dropped.reset();
    ASSERT_TRUE(second->finish(nullptr));
    EXPECT_EQ(readRepoFile("clip.mp4"), "second");
    ASSERT_TRUE(first->finish(nullptr));
    EXPECT_EQ(readRepoFile("clip.mp4"), "first, whole");
    EXPECT_EQ(repoEntries(), QStringList({"clip.mp4"}));

    QString error;
    EXPECT_FALSE(first->finish(&error)); // once only
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(RepositoryRules, StoringOverAFolderFailsWithAReason)
{
    QDir().mkpath(repoPath() + "t.mb/inner");
    QString error;
    EXPECT_FALSE(m_repository->storeFile("t.mb", "[Common]\r\n", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(repoPath() + "t.mb/inner").isDir());
    EXPECT_EQ(repoEntries(), QStringList({"t.mb"}));
}

TEST_F(RepositoryRules, AMissingFolderHoldsNothingAndTakesNothing)
{
    const Repository missing(repoPath() + "missing/", QString(), m_disk);
    EXPECT_TRUE(missing.ListRepository().isEmpty());
    EXPECT_TRUE(missing.FindRepoFiles("*.*").isEmpty());
    QString error;
    EXPECT_FALSE(missing.OpenUploadFile("a.txt", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QDir(repoPath() + "missing").exists());
}

} // namespace
} // namespace quorvel::test
