#pragma once

#include "console/model/colorvalue.h"

#include <QFont>
#include <QString>

namespace quorvel {

// The font of a play window: face, size in points, styles and a colour.
// The face name is kept as given even where no such font is installed, so
// a template written elsewhere keeps its font through a save.
struct ColoredFont {
    QFont font = defaultFont();
    ColorValue color = clWindowText;

    // The toolkit's default font, with a point size even where the platform
    // gives it none (no application object yet).
    static QFont defaultFont();
};

// The font spec string: "\"face\"/[styles]/size/colour", styles being the
// words 粗体, 斜体, 下划线 and 删除线 in that order, joined by commas.
inline const QString DialogFontSpec = QStringLiteral("\"楷体_GB2312\"/[]/14/255");
// What a template without a "Font" key means: the same font, name unquoted.
inline const QString TemplateDefaultFontSpec = QStringLiteral("楷体_GB2312/[]/14/255");

// The face name is always quoted, a quote in it doubled, so any name reads
// back as it was.
QString FontToSpec(const ColoredFont& font);

// Reads both forms, quoted or bare face name. Throws ConvertError, leaving
// `font` untouched, when the spec has fewer than four parts or its size or
// colour is not an integer. A size of 0 or less keeps the font's size.
void SpecToFont(const QString& spec, ColoredFont& font);

} // namespace quorvel
