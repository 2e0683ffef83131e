#pragma once

#include <QIcon>

namespace quorvel {

// The pictures of the terminal list's rows: 0 online, 1 offline.
class TermIcons {
public:
    static QIcon online();
    static QIcon offline();
    static QIcon forOnline(bool online) { return online ? TermIcons::online() : offline(); }
};

} // namespace quorvel
