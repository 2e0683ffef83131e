#include "console/terminals/termitem.h"

#include "core/wire.h"

namespace quorvel {

void TermItem::setHelloReply(bool answered, const QString& reply)
{
    Online = answered;
    if (!answered)
        Status = TermStatus::Offline;
    else if (reply == QLatin1String(wire::Standby))
        Status = TermStatus::Stopped;
    else
        Status = TermStatus::Playing;
}

QString StatusText(TermStatus status)
{
    switch (status) {
    case TermStatus::Stopped:
        return QStringLiteral("停止");
    case TermStatus::Playing:
        return QStringLiteral("播放");
    case TermStatus::Offline:
        return QStringLiteral("--");
    }
    return {};
}

} // namespace quorvel
