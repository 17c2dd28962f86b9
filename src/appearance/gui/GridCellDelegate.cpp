#include "GridCellDelegate.h"

#include "appearance/gui/GridPainter.h"

#include <QAbstractItemView>

namespace quorvex {

GridCellDelegate::GridCellDelegate(GridPainter &painter, QObject *parent)
    : QStyledItemDelegate(parent), m_painter(painter)
{
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool focused = view && view->hasFocus() && view->currentIndex() == index;
    // Model cell (r, c) is document cell (c + 1, the row r shows).
    m_painter.paintDataCell(painter, option.rect, index.column() + 1, m_painter.documentRow(index.row()), selected, focused);
}

} // namespace quorvex
