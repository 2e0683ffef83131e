#pragma once

#include <QStyledItemDelegate>

namespace quorvel {

// Draws the cell borders of a report view: a QTreeWidget has no grid lines
// of its own.
class GridLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace quorvel
