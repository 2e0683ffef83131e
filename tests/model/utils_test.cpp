#include "console/model/utils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

class ListFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path();
        for (const char* name : {"a.sch", "B.SCH", ".hidden.sch", "playlist.ini", "notes.txt", "README",
                                 "[T]odd.sch", "日程.sch", "a.schx"})
            touch(root + "/" + QString::fromUtf8(name));
        ASSERT_TRUE(QDir(root).mkdir("folder.sch"));
        ASSERT_TRUE(QDir(root).mkdir("sub"));
        touch(root + "/sub/c.sch");
    }
    QStringList in(std::initializer_list<const char*> names) const
    {
        QStringList paths;
        for (const char* name : names)
            paths.append(root + "/" + QString::fromUtf8(name));
        return sorted(paths);
    }
    QTemporaryDir dir;
    QString root;
};

} // namespace

TEST(StripBlanks, DropsSpacesAndTabsOnly)
{
    EXPECT_EQ(StripBlanks(QStringLiteral("0  .0  .0  .0  ")), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(StripBlanks(QStringLiteral("\t192. 168 .\t1.2\n")), QStringLiteral("192.168.1.2\n"));
    EXPECT_EQ(StripBlanks(QString()), QString());
}

TEST_F(ListFilesTest, PatternWithoutFolderLooksInTheRepository)
{
    const QStringList expected = in({"a.sch", "B.SCH", ".hidden.sch", "[T]odd.sch", "日程.sch"});
    EXPECT_EQ(sorted(ListFiles("*.sch", root + "/")), expected);
    EXPECT_EQ(sorted(ListFiles("*.sch", root)), expected);
    EXPECT_EQ(sorted(ListFiles("*.sch", root + "\\")), expected);
}

TEST_F(ListFilesTest, FolderPartWithEitherSeparator)
{
    const QString other = "/nonexistent-repository/";
    EXPECT_EQ(sorted(ListFiles(root + "/*.sch", other)).size(), 5);
    EXPECT_EQ(ListFiles(root + "/sub/*.sch", other), QStringList{root + "/sub/c.sch"});
    EXPECT_EQ(ListFiles(root + "\\sub\\*.sch", other), QStringList{root + "/sub/c.sch"});
}

TEST_F(ListFilesTest, WildcardsAndLiteralCharacters)
{
    EXPECT_EQ(sorted(ListFiles("?.sch", root)), in({"a.sch", "B.SCH"}));
    EXPECT_EQ(sorted(ListFiles("[T]*", root)), in({"[T]odd.sch"}));
    EXPECT_EQ(ListFiles("playlist.ini", root), in({"playlist.ini"}));
    EXPECT_EQ(ListFiles("*.*", root).size(), 9);
    EXPECT_EQ(sorted(ListFiles("*", root)), sorted(ListFiles("*.*", root)));
}

TEST_F(ListFilesTest, NothingFoundGivesAnEmptyList)
{
    EXPECT_TRUE(ListFiles("*.mb", root).isEmpty());
    EXPECT_TRUE(ListFiles(root + "/missing/*.sch", root).isEmpty());
    EXPECT_TRUE(ListFiles(root + "/", root).isEmpty());
    EXPECT_TRUE(ListFiles("*.sch", QString()).isEmpty());
}
