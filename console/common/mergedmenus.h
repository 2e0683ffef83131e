#pragma once

#include <QList>

class QMenu;

namespace quorvel {

// Qt has no MDI menu merging. An MDI child that brings menus of its own
// implements this; the frame shows them in group order between its own
// groups (0 before, 9 and 10 after) while the child is active.
struct MenuGroup {
    int group = 1;
    QMenu* menu = nullptr;
};

class MergedMenusProvider {
public:
    virtual ~MergedMenusProvider() = default;
    virtual QList<MenuGroup> mergedMenus() const = 0;
};

} // namespace quorvel
