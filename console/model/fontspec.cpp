#include "console/model/fontspec.h"

#include "console/model/converterror.h"
#include "core/commatext.h"
#include "core/profilefile.h"

#include <QGuiApplication>

namespace quorvel {
namespace {

const QString WordBold = QStringLiteral("粗体");
const QString WordItalic = QStringLiteral("斜体");
const QString WordUnderline = QStringLiteral("下划线");
const QString WordStrikeOut = QStringLiteral("删除线");

int pointSizeOf(const QFont& font)
{
    if (font.pointSize() > 0)
        return font.pointSize();
    if (font.pointSizeF() > 0)
        return qRound(font.pointSizeF());
    if (font.pixelSize() > 0)
        return qRound(font.pixelSize() * 72.0 / 96.0);
    return 0;
}

} // namespace

QFont ColoredFont::defaultFont()
{
    QFont font = QGuiApplication::instance() ? QGuiApplication::font() : QFont();
    if (font.pointSize() <= 0 && font.pixelSize() <= 0)
        font.setPointSize(9);
    return font;
}

QString FontToSpec(const ColoredFont& font)
{
    QStringList styles;
    if (font.font.bold())
        styles.append(WordBold);
    if (font.font.italic())
        styles.append(WordItalic);
    if (font.font.underline())
        styles.append(WordUnderline);
    if (font.font.strikeOut())
        styles.append(WordStrikeOut);
    QString face = font.font.family();
    face.replace(u'"', QStringLiteral("\"\""));
    return QStringLiteral("\"%1\"/[%2]/%3/%4")
        .arg(face, styles.join(u','))
        .arg(pointSizeOf(font.font))
        .arg(font.color);
}

void SpecToFont(const QString& spec, ColoredFont& font)
{
    const QStringList parts = splitDelimited(spec, u'/');
    if (parts.size() < 4)
        throw ConvertError(QStringLiteral("字体“%1”无法识别：应有字体名、样式、字号和颜色四个部分")
                               .arg(spec));
    int size = 0;
    if (!ProfileFile::parseInteger(parts[2], &size))
        throw ConvertError(
            QStringLiteral("字体“%1”的字号“%2”不是有效的整数").arg(spec, parts[2]));
    int color = 0;
    if (!ProfileFile::parseInteger(parts[3], &color))
        throw ConvertError(
            QStringLiteral("字体“%1”的颜色“%2”不是有效的整数").arg(spec, parts[3]));

    bool bold = false, italic = false, underline = false, strikeOut = false;
    const QString& styleText = parts[1];
    if (styleText.size() >= 2) {
        for (const QString& word : splitCommaText(QStringView(styleText).mid(1, styleText.size() - 2))) {
            bold = bold || word == WordBold;
            italic = italic || word == WordItalic;
            underline = underline || word == WordUnderline;
            strikeOut = strikeOut || word == WordStrikeOut;
        }
    }

    font.font.setFamily(parts[0]);
    if (size > 0)
        font.font.setPointSize(size);
    font.color = color;
    font.font.setBold(bold);
    font.font.setItalic(italic);
    font.font.setUnderline(underline);
    font.font.setStrikeOut(strikeOut);
}

} // namespace quorvel
