#include "console/model/playmode.h"

namespace quorvel {

QString playModeDisplayName(PlayMode mode)
{
    switch (mode) {
    case pmText:
        return QStringLiteral("字幕模式");
    case pmCustom:
        return QStringLiteral("自定义模式");
    case pmVideo:
        return QStringLiteral("视频模式");
    case pmClock:
        return QStringLiteral("时钟模式");
    case pmFlash:
        return QStringLiteral("Flash模式");
    case pmHtml:
        return QStringLiteral("HTML模式");
    case pmPpt:
        return QStringLiteral("PPT模式");
    case pmUniversal:
        return QStringLiteral("万能模式");
    }
    return {};
}

QStringList playModeDisplayNames()
{
    QStringList names;
    for (int value = 0; value < PlayModeCount; ++value)
        names.append(playModeDisplayName(static_cast<PlayMode>(value)));
    return names;
}

std::optional<PlayMode> playModeFromValue(int value)
{
    if (value < 0 || value >= PlayModeCount)
        return std::nullopt;
    return static_cast<PlayMode>(value);
}

} // namespace quorvel
