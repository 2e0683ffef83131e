#include "console/model/templatelayout.h"
#include "core/profilefile.h"
#include "core/textcodec.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

ProfileFile fromText(const QString& text) { return ProfileFile::fromBytes(toGb18030(text)); }

const QString TwoWindows = QStringLiteral(
    "[Common]\r\nWidth=800\r\nHeight=600\r\nWindows Number=2\r\nPanels Number=2\r\n"
    "[Panel1]\r\nRectangle=0,0,185,539\r\nParent=ModelForm\r\nAlign=3\r\nShowId=1\r\n"
    "Has Splitter=1\r\nSplitter Align=3\r\n"
    "[Window1]\r\nMode=0\r\nEffect=0\r\nRandomEeffect=0\r\nSpeed=50\r\nRectangle=0,0,185,539\r\n"
    "HorizMargin=0\r\nVertMargin=0\r\nFont=\"楷体_GB2312\"/[]/14/255\r\nLoop=1\r\nBgColor=0\r\n"
    "Source_0=[F]D:\\notices\\today.txt\r\n"
    "[Panel2]\r\nRectangle=187,0,603,539\r\nParent=ModelForm\r\nAlign=5\r\nShowId=2\r\n"
    "Has Splitter=0\r\n");

// One window on top, one at the bottom, two side by side in a container
// between them.
TemplateLayout nestedLayout()
{
    TemplateLayout layout;
    layout.width = 1024;
    layout.height = 768;
    layout.windowsNumber = 4;
    layout.panels = {
        {1, 0, 0, 1018, 100, 0, PanelAlign::Top, 1, false, PanelAlign::None},
        {2, 0, 640, 1018, 100, 0, PanelAlign::Bottom, 2, true, PanelAlign::Top},
        {3, 0, 102, 1018, 536, 0, PanelAlign::Client, 0, true, PanelAlign::Bottom},
        {4, 0, 0, 400, 536, 3, PanelAlign::Left, 3, true, PanelAlign::Left},
        {5, 402, 0, 616, 536, 3, PanelAlign::Client, 4, false, PanelAlign::None},
    };
    return layout;
}

} // namespace

TEST(TemplateLayout, ReadsATemplateAsTheDesignerWritesIt)
{
    QString error;
    const auto content = ReadTemplateContent(fromText(TwoWindows), &error);
    ASSERT_TRUE(content) << error.toStdString();
    const TemplateLayout& layout = content->layout;
    EXPECT_EQ(layout.width, 800);
    EXPECT_EQ(layout.windowsNumber, 2);
    ASSERT_EQ(layout.panels.size(), 2u);
    EXPECT_EQ(layout.panels[0],
              (PanelLayout{1, 0, 0, 185, 539, 0, PanelAlign::Left, 1, true, PanelAlign::Left}));
    EXPECT_EQ(layout.panels[1],
              (PanelLayout{2, 187, 0, 603, 539, 0, PanelAlign::Client, 2, false, PanelAlign::None}));

    ASSERT_EQ(content->windows.size(), 2u);
    const WINDOW_REC& first = *content->windows.at(1);
    EXPECT_FALSE(first.RandomEffect);
    EXPECT_EQ(first.Sources, QStringList{QStringLiteral("[F]D:\\notices\\today.txt")});
    // Window 2 never had its settings set: a default text window.
    const WINDOW_REC& second = *content->windows.at(2);
    EXPECT_EQ(second.Mode, pmText);
    EXPECT_TRUE(second.RandomEffect);
    EXPECT_TRUE(second.Loop);
    EXPECT_TRUE(second.Sources.isEmpty());
}

TEST(TemplateLayout, SavesAndReopensNestedPanelsWithScreenRectangles)
{
    QTemporaryDir dir;
    TemplateContent content;
    content.layout = nestedLayout();
    for (int w = 1; w <= 3; ++w) { // window 4 never got settings
        content.windows[w] = NewWindowRec();
        content.windows[w]->Mode = pmVideo;
        content.windows[w]->Sources = {QStringLiteral("[F]clip%1.avi").arg(w)};
    }
    ProfileFile ini(dir.filePath("nested.mb"));
    ini.writeString(u"Stale", u"Key", QStringLiteral("from an older save"));
    QString error;
    ASSERT_TRUE(WriteTemplateContent(ini, content, &error)) << error.toStdString();
    ASSERT_TRUE(ini.save(&error)) << error.toStdString();

    const ProfileFile reopened(dir.filePath("nested.mb"));
    EXPECT_EQ(reopened.sections(),
              (QStringList{"Common", "Panel1", "Window1", "Panel2", "Window2", "Panel3", "Panel4",
                           "Window3", "Panel5"}));
    EXPECT_EQ(reopened.readString(u"Panel4", u"Parent"), QStringLiteral("Panel3"));
    EXPECT_FALSE(reopened.valueExists(u"Panel5", u"Splitter Align"));

    const auto read = ReadTemplateContent(reopened, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->layout, content.layout);
    EXPECT_EQ(read->windows.at(3)->Rect, (WindowRect{0, 102, 400, 638}));
    EXPECT_EQ(read->windows.at(3)->Sources, QStringList{"[F]clip3.avi"});
    EXPECT_EQ(read->windows.at(4)->Mode, pmText);
    EXPECT_EQ(panelScreenRect(read->layout, 5), (WindowRect{402, 102, 1018, 638}));
}

TEST(TemplateLayout, RefusesTemplatesThatBreakTheNumberingRules)
{
    struct Case {
        const char* what;
        const char* text;
    };
    const QString common = "[Common]\r\nWindows Number=%1\r\nPanels Number=%2\r\n";
    const Case cases[] = {
        {"no panels", ""},
        {"parent with a higher number",
         "[Panel1]\r\nParent=Panel2\r\nShowId=1\r\n[Panel2]\r\nShowId=2\r\n"},
        {"parent is itself", "[Panel1]\r\nParent=Panel1\r\nShowId=1\r\n[Panel2]\r\nShowId=2\r\n"},
        {"window shown twice", "[Panel1]\r\nShowId=1\r\n[Panel2]\r\nShowId=1\r\n"},
        {"window beyond the count", "[Panel1]\r\nShowId=1\r\n[Panel2]\r\nShowId=3\r\n"},
        {"empty leaf", "[Panel1]\r\nShowId=1\r\n[Panel2]\r\nShowId=0\r\n"},
        {"container shows a window", "[Panel1]\r\nShowId=1\r\n[Panel2]\r\nParent=Panel1\r\nShowId=2\r\n"},
        {"missing panel section", "[Panel1]\r\nShowId=1\r\n[Panel3]\r\nShowId=2\r\n"},
        {"bad rectangle", "[Panel1]\r\nShowId=1\r\nRectangle=0,0,x,1\r\n[Panel2]\r\nShowId=2\r\n"},
        {"bad align", "[Panel1]\r\nShowId=1\r\nAlign=6\r\n[Panel2]\r\nShowId=2\r\n"},
        {"negative size", "[Panel1]\r\nShowId=1\r\nRectangle=0,0,-5,10\r\n[Panel2]\r\nShowId=2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int panels = QString::fromUtf8(c.text).count(QStringLiteral("[Panel"));
        const ProfileFile ini = fromText(common.arg(2).arg(panels == 0 ? 0 : 2) + QString::fromUtf8(c.text));
        QString error;
        EXPECT_FALSE(ReadTemplateLayout(ini, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("模板文件有误")) || error.contains(QStringLiteral("矩形")))
            << error.toStdString();
    }
    // A count far beyond the sections present is refused without walking it.
    QString error;
    EXPECT_FALSE(ReadTemplateLayout(fromText(common.arg(1).arg(2000000000) + "[Panel1]\r\nShowId=1\r\n"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TemplateLayout, AnyOtherParentNameIsTheScreen)
{
    // A second template window bore another name when it saved its file.
    const ProfileFile ini = fromText(QStringLiteral(
        "[Common]\r\nWindows Number=1\r\nPanels Number=1\r\n[Panel1]\r\nParent=ModelForm_1\r\nShowId=1\r\n"));
    QString error;
    const auto layout = ReadTemplateLayout(ini, &error);
    ASSERT_TRUE(layout) << error.toStdString();
    EXPECT_EQ(layout->panels[0].parent, 0);
}

TEST(TemplateLayout, WriterRefusesABrokenLayoutAndKeepsTheProfile)
{
    TemplateLayout layout = nestedLayout();
    layout.panels[4].showId = 3;
    ProfileFile ini;
    ini.writeString(u"Common", u"Width", QStringLiteral("640"));
    QString error;
    EXPECT_FALSE(WriteTemplateLayout(ini, layout, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ini.readInteger(u"Common", u"Width", 0), 640);
}
