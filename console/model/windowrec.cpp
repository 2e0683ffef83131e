#include "console/model/windowrec.h"

#include "console/model/converterror.h"
#include "core/commatext.h"
#include "core/profilefile.h"

namespace quorvel {

WindowRecPtr NewWindowRec() { return std::make_unique<WINDOW_REC>(); }

void FreeWindowRec(WindowRecPtr& rec) { rec.reset(); }

QString windowSectionName(int windowNumber) { return QStringLiteral("Window%1").arg(windowNumber); }

WindowRect parseRectangle(const QString& text)
{
    const QStringList items = splitCommaText(text);
    if (items.size() < 4)
        throw ConvertError(
            QStringLiteral("矩形“%1”无法识别：应有四个以逗号分隔的整数").arg(text));
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!ProfileFile::parseInteger(items[i], &values[i]))
            throw ConvertError(
                QStringLiteral("矩形“%1”中的“%2”不是有效的整数").arg(text, items[i]));
    }
    return {values[0], values[1], values[2], values[3]};
}

void WriteWindowSection(ProfileFile& ini, int windowNumber, const WindowRect& screenRect,
                        const WINDOW_REC* rec)
{
    if (!rec)
        return;
    const QString section = windowSectionName(windowNumber);
    ini.writeInteger(section, u"Mode", rec->Mode);
    ini.writeInteger(section, u"Effect", rec->Effect);
    ini.writeBool(section, u"RandomEeffect", rec->RandomEffect);
    ini.writeInteger(section, u"Speed", rec->Speed);
    ini.writeString(section, u"Rectangle",
                    QStringLiteral("%1,%2,%3,%4")
                        .arg(screenRect.Left)
                        .arg(screenRect.Top)
                        .arg(screenRect.Right)
                        .arg(screenRect.Bottom));
    ini.writeInteger(section, u"HorizMargin", rec->HorizMargin);
    ini.writeInteger(section, u"VertMargin", rec->VertMargin);
    ini.writeString(section, u"Font", FontToSpec(rec->Font));
    ini.writeBool(section, u"Loop", rec->Loop);
    ini.writeInteger(section, u"BgColor", rec->BgColor);
    for (qsizetype k = 0; k < rec->Sources.size(); ++k)
        ini.writeString(section, QStringLiteral("Source_%1").arg(k), rec->Sources[k]);
}

void ReadWindowSection(WINDOW_REC& rec, const ProfileFile& ini, int windowNumber)
{
    const QString section = windowSectionName(windowNumber);
    const int mode = ini.readInteger(section, u"Mode", pmText);
    const auto playMode = playModeFromValue(mode);
    if (!playMode)
        throw ConvertError(QStringLiteral("窗口%1的播放模式%2无效").arg(windowNumber).arg(mode));
    rec.Mode = *playMode;
    rec.Effect = ini.readInteger(section, u"Effect", 0);
    rec.RandomEffect = ini.readBool(section, u"RandomEeffect", true);
    rec.Speed = ini.readInteger(section, u"Speed", 50);
    rec.HorizMargin = ini.readInteger(section, u"HorizMargin", 0);
    rec.VertMargin = ini.readInteger(section, u"VertMargin", 0);
    rec.Loop = ini.readBool(section, u"Loop", true);
    rec.BgColor = ini.readInteger(section, u"BgColor", clBlack);

    SpecToFont(ini.readString(section, u"Font", TemplateDefaultFontSpec), rec.Font);
    rec.Rect = parseRectangle(ini.readString(section, u"Rectangle", QStringLiteral("0,0,0,0")));

    for (int k = 0;; ++k) {
        const QString item = ini.readString(section, QStringLiteral("Source_%1").arg(k));
        if (item.isEmpty())
            break;
        rec.Sources.append(item);
    }
}

} // namespace quorvel
