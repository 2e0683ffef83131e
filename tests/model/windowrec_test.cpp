#include "console/model/converterror.h"
#include "console/model/sourceitem.h"
#include "console/model/windowrec.h"
#include "core/profilefile.h"
#include "core/textcodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

// Saves `ini` to a real file and reads it back, as a template is reopened.
ProfileFile saveAndReopen(const ProfileFile& ini, const QString& path, QByteArray* bytes = nullptr)
{
    ProfileFile copy = ini;
    copy.setPath(path);
    QString error;
    EXPECT_TRUE(copy.save(&error)) << error.toStdString();
    if (bytes) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        *bytes = file.readAll();
    }
    return ProfileFile(path);
}

QStringList keyLines(const QByteArray& bytes)
{
    QStringList lines = fromGb18030(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return lines;
}

} // namespace

TEST(WindowRec, NewRecordHasAllocationDefaults)
{
    WindowRecPtr rec = NewWindowRec();
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->Rect, WindowRect{});
    EXPECT_EQ(rec->Mode, pmText);
    EXPECT_EQ(rec->Effect, 0);
    EXPECT_FALSE(rec->RandomEffect);
    EXPECT_EQ(rec->Speed, 50);
    EXPECT_EQ(rec->HorizMargin, 0);
    EXPECT_EQ(rec->VertMargin, 0);
    EXPECT_EQ(rec->BgColor, clBlack);
    EXPECT_TRUE(rec->Sources.isEmpty());
    EXPECT_FALSE(rec->Loop);
    FreeWindowRec(rec);
    EXPECT_FALSE(rec);
}

TEST(WindowSection, WritesKeysInOrderAndReadsBackThreeSources)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WindowRecPtr rec = NewWindowRec();
    rec->Rect = {1, 2, 3, 4}; // stale: the panel's place on the screen wins
    rec->Mode = pmUniversal;
    rec->Effect = 2;
    rec->RandomEffect = true;
    rec->Speed = 80;
    rec->HorizMargin = 5;
    rec->VertMargin = -6;
    SpecToFont(QStringLiteral("\"宋体\"/[粗体]/16/65280"), rec->Font);
    rec->BgColor = 0x00FF00;
    rec->Loop = true;
    rec->Sources = {QStringLiteral("[F]/srv/media/片头.avi"), QStringLiteral("[U]http://example.org/"),
                    QStringLiteral("[F]D:\\notices\\today.txt")};

    ProfileFile ini;
    ini.writeInteger(u"Panel1", u"ShowId", 3);
    WriteWindowSection(ini, 3, {187, 0, 603, 539}, rec.get());
    WriteWindowSection(ini, 4, {0, 0, 1, 1}, nullptr);
    QByteArray bytes;
    const ProfileFile reopened = saveAndReopen(ini, dir.filePath("a.mb"), &bytes);

    const QStringList expected = {
        "[Panel1]", "ShowId=3", "[Window3]", "Mode=7", "Effect=2", "RandomEeffect=1", "Speed=80",
        "Rectangle=187,0,603,539", "HorizMargin=5", "VertMargin=-6",
        QStringLiteral("Font=\"宋体\"/[粗体]/16/65280"), "Loop=1", "BgColor=65280",
        QStringLiteral("Source_0=[F]/srv/media/片头.avi"), "Source_1=[U]http://example.org/",
        "Source_2=[F]D:\\notices\\today.txt"};
    EXPECT_EQ(keyLines(bytes), expected);

    WINDOW_REC read;
    ReadWindowSection(read, reopened, 3);
    EXPECT_EQ(read.Rect, (WindowRect{187, 0, 603, 539}));
    EXPECT_EQ(read.Mode, pmUniversal);
    EXPECT_EQ(read.Effect, 2);
    EXPECT_TRUE(read.RandomEffect);
    EXPECT_EQ(read.Speed, 80);
    EXPECT_EQ(read.HorizMargin, 5);
    EXPECT_EQ(read.VertMargin, -6);
    EXPECT_EQ(FontToSpec(read.Font), QStringLiteral("\"宋体\"/[粗体]/16/65280"));
    EXPECT_EQ(read.BgColor, 0x00FF00);
    EXPECT_TRUE(read.Loop);
    EXPECT_EQ(read.Sources, rec->Sources);
}

TEST(WindowSection, MissingSectionReadsAsDefaultTextWindow)
{
    ProfileFile ini = ProfileFile::fromBytes("[Common]\r\nWindows Number=1\r\n");
    WINDOW_REC rec;
    rec.Sources = {QStringLiteral("[T]kept\r\n")}; // sources are appended, not replaced
    ReadWindowSection(rec, ini, 1);
    EXPECT_EQ(rec.Mode, pmText);
    EXPECT_EQ(rec.Effect, 0);
    EXPECT_TRUE(rec.RandomEffect);
    EXPECT_EQ(rec.Speed, 50);
    EXPECT_TRUE(rec.Loop);
    EXPECT_EQ(rec.BgColor, 0);
    EXPECT_EQ(rec.Rect, WindowRect{});
    EXPECT_EQ(rec.Font.font.family(), QStringLiteral("楷体_GB2312"));
    EXPECT_EQ(rec.Font.font.pointSize(), 14);
    EXPECT_EQ(rec.Font.color, 255);
    EXPECT_EQ(rec.Sources, QStringList{QStringLiteral("[T]kept\r\n")});
}

TEST(WindowSection, DigitalClockWithoutPictureComesBackWithOneSource)
{
    QTemporaryDir dir;
    WINDOW_REC clock;
    clock.Mode = pmClock;
    clock.Effect = 1;
    clock.Sources = {QStringLiteral("hh:mm:ss"), QString()};
    ProfileFile ini;
    WriteWindowSection(ini, 1, {0, 0, 200, 50}, &clock);
    QByteArray bytes;
    const ProfileFile reopened = saveAndReopen(ini, dir.filePath("clock.mb"), &bytes);
    EXPECT_TRUE(keyLines(bytes).contains("Source_1="));

    WINDOW_REC read;
    ReadWindowSection(read, reopened, 1);
    EXPECT_EQ(read.Mode, pmClock);
    EXPECT_EQ(read.Effect, 1);
    EXPECT_EQ(read.Sources, QStringList{QStringLiteral("hh:mm:ss")});
}

TEST(WindowSection, TypedTextKeepsAllItsLinesThroughSaveAndReopen)
{
    QTemporaryDir dir;
    WINDOW_REC text;
    const QString typed = QStringLiteral("[T]第一行\r\n[Window9]\r\nSource_1=x\\n\r\n");
    text.Sources = {typed, QStringLiteral("[F]C:\\a\\b.txt"), QStringLiteral("\"quoted\"")};
    ProfileFile ini;
    WriteWindowSection(ini, 2, {}, &text);
    QByteArray bytes;
    const ProfileFile reopened = saveAndReopen(ini, dir.filePath("t.mb"), &bytes);

    // Every line of the file is still a section or a key of window 2.
    for (const QString& line : keyLines(bytes))
        EXPECT_TRUE(line == "[Window2]" || !line.startsWith(u'[')) << line.toStdString();
    EXPECT_FALSE(reopened.sectionExists(u"Window9"));
    EXPECT_TRUE(keyLines(bytes).contains("Source_1=[F]C:\\a\\b.txt"));

    WINDOW_REC read;
    ReadWindowSection(read, reopened, 2);
    ASSERT_EQ(read.Sources.size(), 3);
    EXPECT_EQ(read.Sources[0], typed);
    EXPECT_EQ(sourceTagOf(read.Sources[0]), SourceTag::Text);
    EXPECT_EQ(read.Sources[1], QStringLiteral("[F]C:\\a\\b.txt"));
    EXPECT_EQ(read.Sources[2], QStringLiteral("\"quoted\""));
}

TEST(WindowSection, UnconvertibleValuesAreReportedWithTheirText)
{
    struct Case {
        const char* key;
        const char* value;
        const char* named;
    };
    const Case cases[] = {
        {"Rectangle", "0,0,100", "0,0,100"},
        {"Rectangle", "0,0,1O0,50", "1O0"},
        {"Font", "宋体/[]/12", "宋体/[]/12"},
        {"Mode", "8", "8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ProfileFile ini;
        ini.writeString(u"Window1", QString::fromUtf8(c.key), QString::fromUtf8(c.value));
        WINDOW_REC rec;
        try {
            ReadWindowSection(rec, ini, 1);
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.named))) << e.what();
        }
    }
}

TEST(WindowSection, NonIntegerNumbersReadAsTheirDefaults)
{
    const ProfileFile ini = ProfileFile::fromBytes(
        "[Window1]\r\nMode=0x3\r\nSpeed=fast\r\nLoop=yes\r\nRandomEeffect=0\r\nBgColor=$FF\r\n");
    WINDOW_REC rec;
    ReadWindowSection(rec, ini, 1);
    EXPECT_EQ(rec.Mode, pmClock);
    EXPECT_EQ(rec.Speed, 50);
    EXPECT_TRUE(rec.Loop);
    EXPECT_FALSE(rec.RandomEffect);
    EXPECT_EQ(rec.BgColor, 255);
}

TEST(SourceItem, TagsAreTheFirstThreeCharacters)
{
    struct Case {
        const char* item;
        SourceTag tag;
        const char* body;
    };
    const Case cases[] = {
        {"[T]你好\r\n", SourceTag::Text, "你好\r\n"}, {"[F]a.avi", SourceTag::File, "a.avi"},
        {"[U]http://x/", SourceTag::Url, "http://x/"}, {"[C]notepad.exe", SourceTag::Command, "notepad.exe"},
        {"http://x/", SourceTag::None, "http://x/"},  {"[t]lower", SourceTag::None, "[t]lower"},
        {"", SourceTag::None, ""},
    };
    for (const Case& c : cases) {
        const QString item = QString::fromUtf8(c.item);
        EXPECT_EQ(sourceTagOf(item), c.tag) << c.item;
        EXPECT_EQ(sourceBody(item), QString::fromUtf8(c.body)) << c.item;
        EXPECT_EQ(makeSourceItem(c.tag, sourceBody(item)), item) << c.item;
    }
}
