#include "core/profilefile.h"
#include "core/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

ProfileFile fromText(const char* utf8) { return ProfileFile::fromBytes(toGb18030(QString::fromUtf8(utf8))); }

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ProfileFile, ReadsHandWrittenFiles)
{
    const ProfileFile ini = fromText("; a comment\n"
                                     "[common]\r\n"
                                     "WIDTH = 1024 \n"
                                     "height=0x300\n"
                                     "Windows Number=$A\n"
                                     "Panels Number=twelve\n"
                                     "  [ Window1 ]  \n"
                                     "Font=\"楷体_GB2312\"/[]/14/255\n"
                                     "Quoted=  \"  spaced  \"  \n"
                                     "Single='x'\n"
                                     "Half=\"open\n"
                                     "Empty=\n"
                                     "Neg=-12\n"
                                     "Big=2147483648\n"
                                     "Flag=7\n");
    EXPECT_EQ(ini.readInteger(u"COMMON", u"width", 0), 1024);
    EXPECT_EQ(ini.readInteger(u"Common", u"Height", 0), 768);
    EXPECT_EQ(ini.readInteger(u"Common", u"Windows Number", 0), 10);
    EXPECT_EQ(ini.readInteger(u"Common", u"Panels Number", 5), 5);
    EXPECT_EQ(ini.readInteger(u"Common", u"Missing", 800), 800);
    EXPECT_EQ(ini.readInteger(u"Nowhere", u"Width", 600), 600);
    EXPECT_EQ(ini.readString(u"window1", u"FONT"), QString::fromUtf8("\"楷体_GB2312\"/[]/14/255"));
    EXPECT_EQ(ini.readString(u"Window1", u"Quoted"), "  spaced  ");
    EXPECT_EQ(ini.readString(u"Window1", u"Single"), "x");
    EXPECT_EQ(ini.readString(u"Window1", u"Half"), "\"open");
    EXPECT_EQ(ini.readString(u"Window1", u"Empty", "dflt"), "");
    EXPECT_EQ(ini.readString(u"Window1", u"Absent", "dflt"), "dflt");
    EXPECT_EQ(ini.readInteger(u"Window1", u"Neg", 0), -12);
    EXPECT_EQ(ini.readInteger(u"Window1", u"Big", 3), 3);
    EXPECT_TRUE(ini.readBool(u"Window1", u"Flag", false));
    EXPECT_TRUE(ini.readBool(u"Window1", u"Absent", true));
    EXPECT_EQ(ini.sections(), (QStringList{"common", "Window1"}));
    EXPECT_TRUE(ini.valueExists(u"COMMON", u"width"));
}

TEST(ProfileFile, IntegerRule)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {{"0", true, 0},         {"-2147483648", true, INT32_MIN}, {"+5", true, 5},
                 {"0x1F", true, 31},     {"$ff", true, 255},               {"$FFFFFFFF", true, -1},
                 {"0x", false, 0},       {"12a", false, 0},                {"", false, 0},
                 {"1 2", false, 0},      {"2147483647", true, INT32_MAX},  {"-$10", true, -16},
                 {"１２", false, 0}};
    for (const Case& c : cases) {
        int value = 0;
        EXPECT_EQ(ProfileFile::parseInteger(QString::fromUtf8(c.text), &value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(ProfileFile, LongValuesAreCutAt2047Bytes)
{
    const QString longAscii(3000, u'a');
    const QString longChinese = QString::fromUtf8("通").repeated(1500); // 3000 bytes
    ProfileFile ini = ProfileFile::fromBytes(
        toGb18030(QStringLiteral("[S]\nA=") + longAscii + QStringLiteral("\nC=") + longChinese));
    EXPECT_EQ(ini.readString(u"S", u"A").size(), 2047);
    EXPECT_EQ(ini.readString(u"S", u"C").size(), 1023); // never half a character
}

TEST(ProfileFile, WritesKeysInOrderByteForByte)
{
    ProfileFile ini;
    ini.writeInteger(u"Common", u"Width", 800);
    ini.writeInteger(u"Common", u"Height", 600);
    ini.writeInteger(u"Window1", u"Mode", 0);
    ini.writeString(u"Window1", u"Font", QString::fromUtf8("\"楷体_GB2312\"/[]/14/255"));
    ini.writeBool(u"Window1", u"Loop", true);
    ini.writeString(u"Window1", u"Source_0", QStringLiteral("[F]D:\\notices\\today.txt"));
    ini.writeInteger(u"common", u"Windows Number", -1); // existing section, any case
    ini.writeInteger(u"Common", u"WIDTH", 1024);         // existing key keeps its place
    const QByteArray expected =
        toGb18030(QString::fromUtf8("[Common]\r\nWidth=1024\r\nHeight=600\r\nWindows Number=-1\r\n"
                                    "[Window1]\r\nMode=0\r\nFont=\"楷体_GB2312\"/[]/14/255\r\n"
                                    "Loop=1\r\nSource_0=[F]D:\\notices\\today.txt\r\n"));
    EXPECT_EQ(ini.toBytes(), expected);
}

TEST(ProfileFile, LineBreaksSurviveAndPlainValuesStayPlain)
{
    const QString typed = QString::fromUtf8("[T]第一行\r\n second \\ line\\n\r\n");
    const QString values[] = {
        typed,
        QStringLiteral("  padded  "),
        QStringLiteral("\"quoted\""),
        QStringLiteral("'single'"),
        QStringLiteral("\"a\\nb\""), // looks like our escaped form
        QStringLiteral("[F]D:\\new\\readme.txt"),
        QStringLiteral("\\\\server\\share"),
    };
    ProfileFile ini;
    for (int i = 0; i < int(std::size(values)); ++i)
        ini.writeString(u"S", QStringLiteral("K%1").arg(i), values[i]);
    const QByteArray bytes = ini.toBytes();
    EXPECT_EQ(bytes.count('\n'), 1 + int(std::size(values))); // every value on one line
    const ProfileFile back = ProfileFile::fromBytes(bytes);
    for (int i = 0; i < int(std::size(values)); ++i)
        EXPECT_EQ(back.readString(u"S", QStringLiteral("K%1").arg(i)), values[i]) << i;
    // Plain one-line values are written as they are, for other readers.
    EXPECT_TRUE(bytes.contains("K5=[F]D:\\new\\readme.txt\r\n"));
    // A file from another writer reads as before: backslashes stay.
    EXPECT_EQ(fromText("[S]\nP=[F]D:\\new\\readme.txt\nQ=\"C:\\Program Files\\x\"\n")
                  .readString(u"S", u"Q"),
              "C:\\Program Files\\x");
}

TEST(ProfileFile, EraseSectionKeepsTheOthersAndCommentsSurvive)
{
    ProfileFile ini = fromText("[Repositories]\npath=D:\\Store\n; keep me\n[Term_0]\nIP=1.2.3.4\n"
                               "[term_1]\nIP=5.6.7.8\n");
    ini.eraseSection(u"TERM_0");
    ini.eraseSection(u"Term_1");
    ini.deleteKey(u"Repositories", u"nothing");
    EXPECT_EQ(ini.toBytes(), QByteArray("[Repositories]\r\npath=D:\\Store\r\n; keep me\r\n"));
    EXPECT_EQ(ini.keys(u"repositories"), QStringList{"path"});
}

TEST(ProfileFile, SavesAtomicallyAndKeepsTheOldFileOnFailure)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("quorvel.ini");
    ProfileFile ini(path);
    EXPECT_TRUE(ini.loadError().isEmpty()); // a missing file is an empty profile
    ini.writeString(u"Repositories", u"path", QString::fromUtf8("D:\\仓库"));
    QString error;
    ASSERT_TRUE(ini.save(&error)) << error.toStdString();
    EXPECT_EQ(readAll(path), toGb18030(QString::fromUtf8("[Repositories]\r\npath=D:\\仓库\r\n")));
    EXPECT_EQ(ProfileFile(path).readString(u"Repositories", u"path"), QString::fromUtf8("D:\\仓库"));

    // A folder we may not write into: the save fails and the old file stays.
    if (geteuid() != 0) {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        ini.writeString(u"Repositories", u"path", "E:\\");
        EXPECT_FALSE(ini.save(&error));
        EXPECT_FALSE(error.isEmpty());
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        EXPECT_EQ(ProfileFile(path).readString(u"Repositories", u"path"),
                  QString::fromUtf8("D:\\仓库"));
    }
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"quorvel.ini"});
}

TEST(ProfileFile, SaveThatCannotBeDoneReportsIt)
{
    QTemporaryDir dir;
    QString error;
    ProfileFile missingFolder(dir.filePath("no/such/folder/x.ini"));
    missingFolder.writeInteger(u"A", u"B", 1);
    EXPECT_FALSE(missingFolder.save(&error));
    EXPECT_FALSE(error.isEmpty());

    // The name is taken by a folder: nothing replaces it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.ini"));
    ProfileFile onFolder(dir.filePath("taken.ini"));
    onFolder.writeInteger(u"A", u"B", 1);
    EXPECT_FALSE(onFolder.save(&error));
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.ini")).isDir());
}
