#pragma once

#include <QStyledItemDelegate>

namespace quorvex {

class GridPainter;

// Paints the main grid's data cells with the cell painter; editing stays the
// styled delegate's.
class GridCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    GridCellDelegate(GridPainter &painter, QObject *parent = nullptr);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    GridPainter &m_painter;
};

} // namespace quorvex
