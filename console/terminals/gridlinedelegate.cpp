#include "console/terminals/gridlinedelegate.h"

#include <QPainter>

namespace quorvel {

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    const QRect cell = option.rect;
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->restore();
}

} // namespace quorvel
