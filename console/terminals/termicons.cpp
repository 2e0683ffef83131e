#include "console/terminals/termicons.h"

namespace quorvel {

QIcon TermIcons::online()
{
    static const QIcon icon(QStringLiteral(":/terminals/online.png"));
    return icon;
}

QIcon TermIcons::offline()
{
    static const QIcon icon(QStringLiteral(":/terminals/offline.png"));
    return icon;
}

} // namespace quorvel
