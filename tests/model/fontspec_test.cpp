#include "console/model/converterror.h"
#include "console/model/fontspec.h"

#include <gtest/gtest.h>

using namespace quorvel;

namespace {

ColoredFont makeFont(const QString& face, int size, bool bold, bool italic, bool underline,
                     bool strikeOut, ColorValue color)
{
    ColoredFont f;
    f.font.setFamily(face);
    f.font.setPointSize(size);
    f.font.setBold(bold);
    f.font.setItalic(italic);
    f.font.setUnderline(underline);
    f.font.setStrikeOut(strikeOut);
    f.color = color;
    return f;
}

void expectFont(const ColoredFont& f, const QString& face, int size, bool bold, bool italic,
                bool underline, bool strikeOut, ColorValue color)
{
    EXPECT_EQ(f.font.family(), face);
    EXPECT_EQ(f.font.pointSize(), size);
    EXPECT_EQ(f.font.bold(), bold);
    EXPECT_EQ(f.font.italic(), italic);
    EXPECT_EQ(f.font.underline(), underline);
    EXPECT_EQ(f.font.strikeOut(), strikeOut);
    EXPECT_EQ(f.color, color);
}

} // namespace

TEST(FontToSpec, WritesQuotedFaceStylesInOrderSizeAndColour)
{
    EXPECT_EQ(FontToSpec(makeFont("宋体", 12, true, false, true, false, 0)),
              QStringLiteral("\"宋体\"/[粗体,下划线]/12/0"));
    EXPECT_EQ(FontToSpec(makeFont("Arial", 9, true, true, true, true, clWindowText)),
              QStringLiteral("\"Arial\"/[粗体,斜体,下划线,删除线]/9/-2147483640"));
    EXPECT_EQ(FontToSpec(makeFont("楷体_GB2312", 14, false, false, false, false, clRed)),
              DialogFontSpec);
}

TEST(SpecToFont, ReadsQuotedAndBareFaceAlike)
{
    for (const QString& spec : {TemplateDefaultFontSpec, DialogFontSpec,
                                QStringLiteral(" \"楷体_GB2312\" / [] / 14 / $FF ")}) {
        SCOPED_TRACE(spec.toStdString());
        ColoredFont f = makeFont("Arial", 30, true, true, true, true, 7);
        SpecToFont(spec, f);
        expectFont(f, QStringLiteral("楷体_GB2312"), 14, false, false, false, false, 255);
    }
}

TEST(SpecToFont, SetsExactlyTheRecognisedStyles)
{
    struct Case {
        const char* styles;
        bool bold, italic, underline, strikeOut;
    };
    const Case cases[] = {
        {"[]", false, false, false, false},
        {"[删除线,粗体]", true, false, false, true},
        {"[斜体,Fett,下划线]", false, true, true, false},
        {"[Fett]", false, false, false, false},
        {"[粗体,斜体,下划线,删除线]", true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.styles);
        ColoredFont f = makeFont("宋体", 12, true, true, true, true, 0);
        SpecToFont(QStringLiteral("\"宋体\"/%1/12/0").arg(QString::fromUtf8(c.styles)), f);
        expectFont(f, QStringLiteral("宋体"), 12, c.bold, c.italic, c.underline, c.strikeOut, 0);
    }
}

TEST(FontSpec, RoundTripsAwkwardFaceNames)
{
    for (const QString& face : {QStringLiteral("Times New Roman"), QStringLiteral("Say \"Hi\"/Bye"),
                                QStringLiteral("楷体_GB2312")}) {
        SCOPED_TRACE(face.toStdString());
        const ColoredFont written = makeFont(face, 20, false, true, false, true, 0x123456);
        ColoredFont read;
        SpecToFont(FontToSpec(written), read);
        expectFont(read, face, 20, false, true, false, true, 0x123456);
    }
}

TEST(SpecToFont, RefusesBadSpecsWithTheirTextAndLeavesTheFontAsItWas)
{
    struct Case {
        const char* spec;
        const char* named; // what the message must quote
    };
    const Case cases[] = {
        {"楷体_GB2312/[]/14", "楷体_GB2312/[]/14"},
        {"", ""},
        {"\"宋体\"/[]/big/255", "big"},
        {"\"宋体\"/[]/14/red", "red"},
        // An unquoted name with a blank falls apart, and the parts shift.
        {"Times New Roman/[]/14/0", "Roman"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        ColoredFont f = makeFont("Arial", 30, true, false, false, false, 7);
        try {
            SpecToFont(QString::fromUtf8(c.spec), f);
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.named))) << e.what();
        }
        expectFont(f, "Arial", 30, true, false, false, false, 7);
    }
}
